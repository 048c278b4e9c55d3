#pragma once
// The program as it starts on the simulated bench, for the benchmarks and the soak check: a
// fresh directory of its own for the preferences file, the bench as the port backend, and a
// tick counter that jumps far ahead on every reading, so that each designed wait of the
// start-up (Delay) ends after a single pass of its message pump.
#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "BenchOs.h"
#include "Resident.h"
#include "frmMain.h"
#include "uLPT.h"
#include "uMisc.h"
#include "uUserPrefs.h"
#include "zlportio.h"

// A backend whose port instructions do nothing: the read cycle's cost without any port access.
class NoPortOs : public bench::BenchOs {
public:
    std::uint8_t InByte(std::uint16_t) override { return 0; }
    std::uint16_t InWord(std::uint16_t) override { return 0; }
    std::uint32_t InDword(std::uint16_t) override { return 0; }
    void OutByte(std::uint16_t, std::uint8_t) override {}
    void OutWord(std::uint16_t, std::uint16_t) override {}
    void OutDword(std::uint16_t, std::uint32_t) override {}
};

class BenchProgram {
public:
    static std::uint32_t JumpingTicks()
    {
        static std::uint32_t t = 0;
        return t += 0x10000; // more than any designed wait
    }

    BenchProgram()
    {
        exePath_ = QDir(dir_.path()).filePath("tamsel-demo").toStdString();
        SetTickSource(&JumpingTicks);
    }

    ~BenchProgram()
    {
        Stop();
        SetTickSource(nullptr);
    }

    // Module state as at program load, the bench installed and the port I/O client started.
    void Reset()
    {
        LptResetState();
        PortIoReset();
        LoopRunning = ReadingInProgress = StopRequested = false;
        CreatingMainForm = false;
        PortAddrShowHexa = false;
        port::UseOs(bench_);
        PortIoStartup();
    }

    // The program's main, steps 3 to 5: the window's creation runs the whole start-up.
    TfmMain& Start()
    {
        Reset();
        CreatingMainForm = true;
        window_ = std::make_unique<TfmMain>(nullptr, exePath_);
        CreatingMainForm = false;
        return *window_;
    }

    void Stop() { window_.reset(); }

    // Starts the program and opens the detected port with one single read, leaving loop mode
    // checked as the window opens with it.
    TfmMain& StartOpen()
    {
        TfmMain& w = Start();
        w.ActLPTReadInLoop->SetChecked(false);
        w.ActLptOpenExecute(w.ActLptOpen);
        w.ActLPTReadInLoop->SetChecked(true);
        return w;
    }

    bench::BenchOs& Bench() { return bench_; }
    TfmMain& Window() { return *window_; }
    std::string IniPath() const { return QDir(dir_.path()).filePath("tamsel-demo.ini").toStdString(); }

private:
    QTemporaryDir dir_;
    std::string exePath_;
    bench::BenchOs bench_;
    std::unique_ptr<TfmMain> window_;
};
