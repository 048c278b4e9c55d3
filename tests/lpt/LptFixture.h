#pragma once
#include <gtest/gtest.h>

#include "BenchOs.h"
#include "FakeOs.h"
#include "RecordingHost.h"
#include "uLPT.h"

// Port model tests start from the state at program load, with a recording window and an
// operating system of the test's choice started as the program would.
class LptFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        LptResetState();
        PortIoReset();
        LptSetHost(&host);
    }
    void TearDown() override
    {
        LptResetState();
        PortIoReset();
    }
    void Start(port::OsApi& os)
    {
        port::UseOs(os);
        PortIoStartup();
    }
    // LPT1 at 888, detected and selected.
    void SelectDetected()
    {
        LptPorts[1] = {true, 888};
        LptSelectAddress(888);
    }
    // That port open on this operating system.
    void OpenPort(port::OsApi& os)
    {
        Start(os);
        SelectDetected();
        LptSetWidth(pwByte);
        LptLoadDriver();
    }

    fake::RecordingHost host;
    bench::BenchOs bench;
    fake::FakeOs nt;
};
