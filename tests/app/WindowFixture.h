#pragma once
// Main window tests: the program as it starts on the simulated bench, in a fresh directory of
// its own, with a tick counter that runs fast so that the designed waits take no real time.
#include <QDir>
#include <QLabel>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

#include "BenchOs.h"
#include "StatusLight.h"
#include "TestFiles.h"
#include "Watchdog.h"
#include "WindowLog.h"
#include "frmMain.h"
#include "kvSwitch.h"
#include "uMisc.h"
#include "uUserPrefs.h"
#include "zlportio.h"

class WindowFixture : public ::testing::Test {
public:
    // A tick counter that runs fast, so that the designed waits take no real time.
    static std::uint32_t FastTicks()
    {
        static std::uint32_t t = 0;
        return t += 7;
    }

    // The module state as at program load.
    static void ResetProgram()
    {
        LptResetState();
        PortIoReset();
        LoopRunning = ReadingInProgress = StopRequested = false;
        CreatingMainForm = false;
        PortAddrShowHexa = false;
    }

protected:
    void SetUp() override
    {
        ResetProgram();
        port::UseOs(bench);
        PortIoStartup();
        SetTickSource(&FastTicks);
        TfmMain::ShowError = [this](QWidget*, const QString& text) {
            errors.push_back(text.toStdString());
        };
        exePath = QDir(dir.path()).filePath("tamsel-demo").toStdString();
    }

    void TearDown() override
    {
        pump.reset();
        watchdog.reset();
        window.reset();
        SetTickSource(nullptr);
        ResetProgram();
    }

    // The program's main, steps 3 to 5.
    TfmMain& Start()
    {
        CreatingMainForm = true;
        window = std::make_unique<TfmMain>(nullptr, exePath);
        CreatingMainForm = false;
        return *window;
    }

    // Starts the program and opens LPT1 with one single read, so that the window is in the "port
    // open" state; loop mode is then left checked or not.
    TfmMain& StartOpen(bool readInLoop)
    {
        TfmMain& w = Start();
        w.ActLPTReadInLoop->SetChecked(false);
        w.ActLptOpenExecute(w.ActLptOpen);
        w.ActLPTReadInLoop->SetChecked(readInLoop);
        return w;
    }

    // The program ended, and loaded again as at its next start.
    void Reload()
    {
        window.reset();
        ResetProgram();
        PortIoStartup();
    }

    std::string IniPath() const { return QDir(dir.path()).filePath("tamsel-demo.ini").toStdString(); }

    std::vector<LoggedLine> Log() const { return LogLines(*window); }

    // Lines logged since the start-up's last line.
    std::vector<LoggedLine> LogSince(std::size_t first) const
    {
        auto all = Log();
        return {all.begin() + std::ptrdiff_t(std::min(first, all.size())), all.end()};
    }

    // The five status lights in trace order (Ack, Busy, PaperEnd, Select, Error), "1" for a lit one.
    std::string Lights() const
    {
        std::string lit;
        for (const TStatusLight* l : {window->LedAck, window->ledBusy, window->ledPaperEnd, window->ledSelect,
                                      window->ledError})
            lit += l->Lit() ? '1' : '0';
        return lit;
    }

    // The twelve output switches in trace order: D0 to D7, Strobe, AutoFeed, Init, Select.
    std::vector<TkvSwitch*> Outputs() const
    {
        std::vector<TkvSwitch*> outputs(window->btnD.begin(), window->btnD.end());
        outputs.insert(outputs.end(), {window->btnStrobe, window->btnAutofeed, window->btnInit, window->btnSelect});
        return outputs;
    }

    // From now on, every pass of the message pump calls step with the pass number, through the
    // event queue as a click would come: the read loop pumps once per cycle, so the step of
    // pass n runs between cycles n and n + 1. A loop that no longer pumps, or never stops,
    // fails the test instead of hanging it.
    void DuringLoop(const std::function<void(int cycle)>& step)
    {
        cycles = 0;
        pump = std::make_unique<QTimer>();
        QObject::connect(pump.get(), &QTimer::timeout, [this, step] {
            step(++cycles);
            if (cycles > 100000)
                StopRequested = true;
        });
        pump->start(0);
        if (!watchdog)
            watchdog = std::make_unique<Watchdog>(std::chrono::seconds(30), "the read loop");
    }

    QTemporaryDir dir;
    std::string exePath;
    bench::BenchOs bench;
    std::unique_ptr<TfmMain> window;
    std::vector<std::string> errors;
    int cycles = 0;
    std::unique_ptr<QTimer> pump;
    std::unique_ptr<Watchdog> watchdog;
};
