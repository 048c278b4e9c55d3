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
    // The bench's port configured, selected, detected and open.
    void OpenBenchPort()
    {
        Start(bench);
        LptPorts[1].Address = 888;
        LptPorts[1].Detected = true;
        LptSelectAddress(888);
        LptSetWidth(pwByte);
        LptLoadDriver();
    }

    fake::RecordingHost host;
    bench::BenchOs bench;
    fake::FakeOs nt;
};
