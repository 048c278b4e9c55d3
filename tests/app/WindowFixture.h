#pragma once
// Main window tests: the program as it starts on the simulated bench, in a fresh directory of
// its own, with a tick counter that runs fast so that the designed waits take no real time.
#include <QDir>
#include <QLabel>
#include <QToolButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "BenchOs.h"
#include "WindowLog.h"
#include "frmMain.h"
#include "uMisc.h"
#include "uUserPrefs.h"
#include "zlportio.h"

class WindowFixture : public ::testing::Test {
protected:
    static std::uint32_t FastTicks()
    {
        static std::uint32_t t = 0;
        return t += 7;
    }

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
        if (window)
            window->OnPump = nullptr;
        window.reset();
        SetTickSource(nullptr);
        ResetProgram();
    }

    static void ResetProgram()
    {
        LptResetState();
        PortIoReset();
        LoopRunning = ReadingInProgress = StopRequested = false;
        CreatingMainForm = false;
        PortAddrShowHexa = false;
    }

    // The program's main, steps 3 to 5.
    TfmMain& Start()
    {
        CreatingMainForm = true;
        window = std::make_unique<TfmMain>(nullptr, exePath);
        CreatingMainForm = false;
        return *window;
    }

    std::string IniPath() const { return QDir(dir.path()).filePath("tamsel-demo.ini").toStdString(); }

    std::vector<LoggedLine> Log() const { return LogLines(*window); }

    // Lines logged since the start-up's last line.
    std::vector<LoggedLine> LogSince(std::size_t first) const
    {
        auto all = Log();
        return {all.begin() + std::ptrdiff_t(std::min(first, all.size())), all.end()};
    }

    // Runs the read loop from an action, calling step with the cycle number inside each pump.
    // The loop is cut after a large number of cycles so that a faulty stop cannot hang.
    void DuringLoop(const std::function<void(int cycle)>& step)
    {
        cycles = 0;
        window->OnPump = [this, step] {
            step(++cycles);
            if (cycles > 100000)
                StopRequested = true;
        };
    }

    QTemporaryDir dir;
    std::string exePath;
    bench::BenchOs bench;
    std::unique_ptr<TfmMain> window;
    std::vector<std::string> errors;
    int cycles = 0;
};
