#include "frmMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include "LabelCaption.h"
#include "SystemPortsReport.h"
#include "kvoeLed.h"
#include "uGraph.h"
#include "uLog.h"
#include "uMisc.h"
#include "uUserPrefs.h"

bool CreatingMainForm = false;
std::string AppDir;
std::string PrefsFileName;

namespace {

// The parallel ports that the system lists, where it keeps such a list, and those of them that
// the preferences do not search.
void LogSystemPorts(const std::vector<std::uint16_t>& configured)
{
    if (const auto ports = port::Os().SystemPorts())
        for (const std::string& line : port::SystemPortLines(*ports, configured, true))
            LogMessage(line, kLogProgress);
}

TfmMain* mainWindow = nullptr;

void ShowErrorBox(QWidget* owner, const QString& text)
{
    QMessageBox::critical(owner, QStringLiteral("Tamsel"), text);
}

} // namespace

std::function<void(QWidget*, const QString&)> TfmMain::ShowError = &ShowErrorBox;

TfmMain* MainWindow() { return mainWindow; }

TfmMain::TfmMain(QWidget* parent, const std::string& executablePath, Edition edition)
    : QMainWindow(parent), executablePath_(executablePath), edition_(edition)
{
    mainWindow = this;
    setObjectName("fmMain");
    CreateActions();
    CreateControls();
    LptSetHost(this);
    FormCreate();
    created_ = true;
    if (closeWhileCreating_)
        QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

TfmMain::~TfmMain()
{
    if (LptGetHost() == this)
        LptSetHost(nullptr);
    if (mainWindow == this)
        mainWindow = nullptr;
}

void TfmMain::FormCreate() { InitMainWindow(); }

void TfmMain::InitMainWindow()
{
    show();
    QCoreApplication::processEvents();
    InitPaths();
    UpdateMainWindowState();
    try {
        LoadUserPrefs(PrefsFileName);
    } catch (const std::exception& e) {
        // Writing the default preferences failed after the test write succeeded: the error is
        // shown and the rest of the start-up does not run.
        ShowError(this, QString::fromStdString(e.what()));
        return;
    }
    port::Os().ReportAccessPlan(ConfiguredAddresses());
    LptDetectPorts();
    LogSystemPorts(ConfiguredAddresses());
    GraphInit(*kvDGraph1);
}

void TfmMain::InitPaths()
{
    // The system's own separators, so that the paths read as they do elsewhere in the system.
    const std::string exe =
        executablePath_.empty()
            ? QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString()
            : executablePath_;
    AppDir = AppDirOf(exe);
    PrefsFileName = PrefsFileNameOf(exe);
}

bool TfmMain::FormCloseQuery()
{
    if (LoopRunning)
        StopRequested = true;
    ::Delay(200);
    if (PortOpen)
        ActLptCloseExecute(ActLptClose);
    ::Delay(200);
    try {
        SaveUserPrefs(PrefsFileName);
    } catch (const std::exception& e) {
        ShowError(this, QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

void TfmMain::closeEvent(QCloseEvent* event)
{
    // A close asked for while the start-up sequence runs (in its first message pump or in a wait
    // of detection) is carried out by the message loop that follows the sequence: the close
    // query then finds the paths computed and the preferences loaded, and the message loop
    // ends with the window, so the program ends as it does after any other close.
    if (!created_) {
        closeWhileCreating_ = true;
        event->ignore();
        return;
    }
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TfmMain::LogMessage(const std::string& text, TColor colour) { ::LogMessage(text, colour); }

bool TfmMain::InvertStatesChecked() { return ActLPTReadInvStates->Checked(); }

void TfmMain::SetDriverLedStandBy(bool standBy) { ledLptDriverStatus->SetStandBy(standBy); }

void TfmMain::SetDriverLedActive(bool active) { ledLptDriverStatus->SetActive(active); }

void TfmMain::SetLoopLedStandBy(bool standBy) { ledLPTInputsReadInLoop->SetStandBy(standBy); }

void TfmMain::SetDriverStatusText(const std::string& text)
{
    SetCaption(lblLptDriverStatus, QString::fromStdString(text));
}

void TfmMain::RequestLoopStopIfRunning()
{
    if (LoopRunning)
        StopRequested = true;
}

void TfmMain::CheckAndExecuteLptAction(int n)
{
    for (TAction* action : findChildren<TAction*>()) {
        if (action->objectName().left(6).toUpper() == QLatin1String("ACTLPT") &&
            action->Tag() == n) {
            action->SetChecked(true);
            ActLPT1Execute(action);
        }
    }
}

void TfmMain::SetLptActionHint(int n, const std::string& hint)
{
    // The hint's two lines are separated by a carriage return; the tooltip shows them as two.
    QString text = QString::fromStdString(hint);
    ActLPT[std::size_t(n)]->setStatusTip(text);
    ActLPT[std::size_t(n)]->setToolTip(text.replace(QChar('\r'), QChar('\n')));
}

void TfmMain::Delay(std::uint32_t milliseconds) { ::Delay(milliseconds); }

std::vector<std::uint16_t> TfmMain::ConfiguredAddresses() const
{
    std::vector<std::uint16_t> addresses;
    for (int n = 1; n <= kLptPortCount; ++n)
        addresses.push_back(LptPorts[n].Address);
    return addresses;
}
