#pragma once
// The main window: its controls and actions, the start-up and close sequences, the window
// state, the actions' handlers, the read cycle and read loop, and the event log's control.
#include <QMainWindow>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "Edition.h"
#include "TAction.h"
#include "uLPT.h"

class QLabel;
class QGroupBox;
class QSplitter;
class QStatusBar;
class QTextEdit;
class QToolBar;
class QToolButton;
class QWidget;
class TkvDGraph;
class TkvSwitch;
class TkvoeBasicLed;
class TStatusLight;

// Module-level values of the main window's unit, alive for the whole run.
extern bool CreatingMainForm;
extern std::string AppDir;
extern std::string PrefsFileName;
extern bool LoopRunning;
extern bool ReadingInProgress;
extern bool StopRequested;

class TfmMain : public QMainWindow, public LptHost {
    Q_OBJECT
public:
    // Creates the window with every control in its initial state, then runs its creation event
    // (the start-up sequence) to completion. The executable's path defaults to the running
    // program's; tests pass one of their own.
    explicit TfmMain(QWidget* parent = nullptr, const std::string& executablePath = {},
                     Edition edition = Edition::Real);
    ~TfmMain() override;

    // Start-up and close.
    void FormCreate();
    void InitMainWindow();
    void InitPaths();
    bool FormCloseQuery(); // false: the close is abandoned

    // Window state.
    void UpdateMainWindowState() override;

    // Action handlers.
    void ActLPT1Execute(TAction* sender);
    void ActLptOpenExecute(TAction* sender);
    void ActLptCloseExecute(TAction* sender);
    void ActLPTWriteExecute(TAction* sender);
    void ActLPTWriteDataExecute(TAction* sender);
    void btnD0Change(TkvSwitch* sender);
    void btnStrobeChange(TkvSwitch* sender);
    void ActAppAboutExecute(TAction* sender);
    void ActAppCloseExecute(TAction* sender);
    void ActAppReadmeExecute(TAction* sender);
    void ActOptionsExecute(TAction* sender);
    void ActGraphShowChangesExecute(TAction* sender);

    // Reading.
    void ReadCycle();
    void ReadLoop();
    void ActLPTReadExecute(TAction* sender);
    void ActLPTReadInLoopExecute(TAction* sender);
    void ActLPTReadInvStatesExecute(TAction* sender);
    void ActLPTReadStatusExecute(TAction* sender);
    void ActLPTReadDataExecute(TAction* sender);

    // The port model's window.
    void LogMessage(const std::string& text, TColor colour) override;
    bool InvertStatesChecked() override;
    void SetDriverLedStandBy(bool standBy) override;
    void SetDriverLedActive(bool active) override;
    void SetLoopLedStandBy(bool standBy) override;
    void SetDriverStatusText(const std::string& text) override;
    void RequestLoopStopIfRunning() override;
    void CheckAndExecuteLptAction(int n) override;
    void SetLptActionHint(int n, const std::string& hint) override;
    void Delay(std::uint32_t milliseconds) override;

    // How an error that stops a sequence is shown to the user (a message box; tests replace it).
    static std::function<void(QWidget* owner, const QString& text)> ShowError;

    // Actions.
    TAction *ActAppAbout, *ActAppClose, *ActAppReadme, *ActAppHelp;
    TAction *ActLPTRead, *ActLPTWrite, *ActLptOpen, *ActLptClose;
    TAction *ActLPTReadInLoop, *ActLPTReadInvStates, *ActLPTReadStatus, *ActLPTReadData;
    TAction *ActLPTWriteData, *ActGraphShowChanges, *ActOptions;
    std::array<TAction*, 9> ActLPT{}; // ActLPT[1] .. ActLPT[8]

    // Controls.
    QWidget* ToolBar2 = nullptr;
    std::array<QToolButton*, 9> btnLPT{};
    QWidget* pnlLines = nullptr;
    TkvoeBasicLed* ledLptDriverStatus = nullptr;
    QLabel* lblLptDriverStatus = nullptr;
    TkvoeBasicLed* ledLPTInputsReadInLoop = nullptr;
    QLabel* lblLPTInputsReadInLoop = nullptr;
    QGroupBox* gbLptRead = nullptr;
    TStatusLight *LedAck = nullptr, *ledBusy = nullptr, *ledPaperEnd = nullptr,
                 *ledSelect = nullptr, *ledError = nullptr;
    std::array<TStatusLight*, 8> LedD{};
    QLabel* lblDataReadValue = nullptr;
    QGroupBox* gbLptWriteData = nullptr;
    std::array<TkvSwitch*, 8> btnD{};
    TkvSwitch *btnStrobe = nullptr, *btnAutofeed = nullptr, *btnInit = nullptr,
              *btnSelect = nullptr;
    QLabel* lblDataWriteValue = nullptr;
    QLabel* lblControlWriteValue = nullptr;
    TkvDGraph* kvDGraph1 = nullptr;
    QSplitter* splLog = nullptr;
    QTextEdit* reLog = nullptr;
    QStatusBar* sbMain = nullptr;
    std::array<QLabel*, 3> sbPanels{};

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateControls();
    void CreateMenu();
    void CreateToolBar();
    void CreateLinesPanel();
    void CreateStatusBar();
    // The seventeen line states in the order of the graph's traces.
    std::array<bool, 17> GraphStates() const;
    std::vector<std::uint16_t> ConfiguredAddresses() const;
    void GraphAddSample();

    std::string executablePath_;
    Edition edition_;
    std::uint32_t lastDataRead_ = 0;
    bool created_ = false;            // the creation event has run to its end
    bool closeWhileCreating_ = false; // a close was asked for before that
};

// The one main window, while it exists (the event log writes to it).
TfmMain* MainWindow();
