#include "frmMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "uMisc.h"

bool CreatingMainForm = false;
std::string AppDir;
std::string PrefsFileName;

namespace {
constexpr int kClientWidth = 720;
constexpr int kClientHeight = 514;
} // namespace

TfmMain::TfmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("fmMain");
    setWindowTitle("Tamsel");
    resize(kClientWidth, kClientHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

TfmMain::~TfmMain() = default;

void TfmMain::FormCreate() { InitMainWindow(); }

void TfmMain::InitMainWindow()
{
    show();
    QCoreApplication::processEvents();
    InitPaths();
}

void TfmMain::InitPaths()
{
    const std::string exe = QCoreApplication::applicationFilePath().toStdString();
    AppDir = AppDirOf(exe);
    PrefsFileName = PrefsFileNameOf(exe);
}

bool TfmMain::FormCloseQuery()
{
    Delay(200);
    Delay(200);
    return true;
}

void TfmMain::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}
