// The program's main as the executables run it, over the port I/O client's driver path to the
// simulated port (the fake system's device answers from a bench with the loopback plug). It
// starts in a fresh directory and the user chooses actions at chosen moments of the run; each
// run must end with the close query's save, the end of the message loop, the client's module
// end, and 0 returned.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "FakeOs.h"
#include "ProgramMain.h"
#include "WindowFixture.h"

namespace {

// The system, counting the service-manager connections made after the main window is gone:
// those of the module end's stop and delete of the driver service.
class ProgramOs : public fake::FakeOs {
public:
    int opensAfterWindow = 0;
    port::Handle OpenSCManagerA(const char* machine, const char* database,
                                std::uint32_t access) override
    {
        windowSeen_ = windowSeen_ || MainWindow() != nullptr;
        if (windowSeen_ && MainWindow() == nullptr)
            ++opensAfterWindow;
        return FakeOs::OpenSCManagerA(machine, database, access);
    }

private:
    bool windowSeen_ = false;
};

// An action the user chooses once the moment has come.
struct Step {
    std::function<bool()> when;
    TAction* TfmMain::*action;
};

std::vector<Step> steps;
std::size_t nextStep = 0;

// Every pass of the message pump, from the application object's creation on, looks whether the
// next step's moment has come; its action is then clicked through the event queue.
void StartPumpWatch()
{
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [] {
        TfmMain* w = MainWindow();
        if (w == nullptr || nextStep == steps.size() || !steps[nextStep].when())
            return;
        TAction* action = w->*steps[nextStep++].action;
        QTimer::singleShot(0, action, [action] { action->trigger(); });
    });
    timer->start();
}

TEST(ProgramMain, EveryCloseRunsTheCloseQueryEndsTheLoopAndTheModuleEnd)
{
    qAddPreRoutine(&StartPumpWatch);
    const auto started = [] { return !CreatingMainForm; };
    struct Row {
        const char* moment;
        std::vector<Step> steps;
    };
    const Row rows[] = {
        {"the first message pump", {{[] { return PrefsFileName.empty(); }, &TfmMain::ActAppClose}}},
        {"detection", {{[] { return CreatingMainForm && SelectedAddress == 632; },
                        &TfmMain::ActAppClose}}},
        {"the message loop", {{started, &TfmMain::ActAppClose}}},
        {"the read loop",
         {{started, &TfmMain::ActLptOpen}, {[] { return LoopRunning; }, &TfmMain::ActAppClose}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.moment);
        WindowFixture::ResetProgram();
        AppDir.clear();
        PrefsFileName.clear();
        SetTickSource(&WindowFixture::FastTicks);
        steps = row.steps;
        nextStep = 0;
        QTemporaryDir dir;
        const std::string exe = QDir(dir.path()).filePath("tamsel-demo").toStdString();
        ProgramOs os;
        os.deviceAlwaysReachable = true;

        int result = -1;
        {
            Watchdog watchdog(std::chrono::seconds(30), "the program's main");
            result = RunTamsel(os, exe);
        }
        SetTickSource(nullptr);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(nextStep, steps.size());
        EXPECT_EQ(os.opensAfterWindow, 2); // the module end stopped and deleted the service
        EXPECT_FALSE(LoopRunning);
        EXPECT_FALSE(PortOpen);
        EXPECT_TRUE(LptPorts[1].Detected);
        EXPECT_EQ(ReadFile(dir.filePath("tamsel-demo.ini").toStdString()),
                  DefaultUserPrefsText() + "LPTPortAddrShowHexa=0\r\n[WriteTest]\r\nCanWrite=1\r\n");
    }
    steps.clear();
}

} // namespace
