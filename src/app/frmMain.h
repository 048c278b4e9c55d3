#pragma once
// The main window: its start-up and close sequences, actions, read loop and event log.
#include <QMainWindow>
#include <string>

#include "uLPT.h"

// Module-level values of the main window's unit, alive for the whole run.
extern bool CreatingMainForm;
extern std::string AppDir;
extern std::string PrefsFileName;

class TfmMain : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window and runs its creation event (the start-up sequence) to completion.
    explicit TfmMain(QWidget* parent = nullptr);
    ~TfmMain() override;

    void FormCreate();
    void InitMainWindow();
    void InitPaths();
    // The close sequence; returns false when the close must be abandoned.
    bool FormCloseQuery();

protected:
    void closeEvent(QCloseEvent* event) override;
};
