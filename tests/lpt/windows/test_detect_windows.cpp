// Detection, opening and closing over the real Windows calls: the stand-in port driver beside
// the executable, installed and started as the "zlportio" service by the port I/O client's
// start-up (Wine's service control manager in CI).
#include <gtest/gtest.h>

#include <filesystem>

#include "DetectLog.h"
#include "ProcessEnd.h"
#include "RecordingHost.h"
#include "WindowsOs.h"
#include "ddkint.h"
#include "uLPT.h"
#include "zlportio.h"

namespace {

namespace fs = std::filesystem;

class WindowsPortModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        port::UseOs(os);
        LptResetState();
        PortIoReset();
        LptSetHost(&host);
        DriverStopRemove();
        wintest::EndOfProcess();
        fs::copy_file(Dir() / "standin" / "zlportio.sys", Dir() / "zlportio.sys",
                      fs::copy_options::overwrite_existing);
        PortIoStartup();
    }
    void TearDown() override
    {
        PortIoShutdown();
        DriverStopRemove();
        wintest::EndOfProcess();
        LptResetState();
        PortIoReset();
        std::error_code ignored;
        fs::remove(Dir() / "zlportio.sys", ignored);
    }
    fs::path Dir() { return fs::path(os.ExecutablePath()).parent_path(); }

    port::WindowsOs os;
    fake::RecordingHost host;
};


TEST_F(WindowsPortModel, DetectionFindsTheStandInsPortAt888)
{
    ASSERT_TRUE(DriverOpen);
    for (int n = 1; n <= 8; ++n)
        LptPorts[n].Address = std::array<std::uint16_t, 8>{888, 632, 956}[std::size_t(n - 1)];
    LptDetectPorts();

    // After the first tested port the service is stopped and deleted, but the driver stays
    // loaded while its device is open: the open handle goes on reaching the stand-in, whose
    // empty bus reads FF at the other two addresses.
    EXPECT_EQ(host.log,
              fake::DefaultSearchLog("3BC", {"55", "FF", "FF"}, "1 port parallèle trouvé"));
    // The flags and the selection these reads lead to are held by DetectTest on the bench.
    wintest::EndOfProcess();
    EXPECT_EQ(ServiceStop(kDriverName), port::kErrorServiceDoesNotExist); // stopped and deleted
}

TEST_F(WindowsPortModel, OpenReadsTheLoopbackAndCloseStopsAndDeletesTheService)
{
    ASSERT_TRUE(DriverOpen);
    LptPorts[1] = {true, 888};
    LptSelectAddress(888);
    LptSetWidth(pwByte);
    LptOpen();
    ASSERT_TRUE(PortOpen);

    // Each output reaches the status line the plug wires it to, through the driver.
    struct Row {
        std::uint32_t control;
        std::uint32_t data;
        LptStatusStates expected; // Ack, Busy, PaperEnd, Select, Error
    };
    const Row rows[] = {
        {0x0B, 0x00, {false, false, false, false, false}}, // all outputs low
        {0x04, 0x01, {true, true, true, true, true}},      // all high
        {0x0A, 0x00, {false, false, false, true, false}},  // Strobe -> Select
        {0x09, 0x00, {false, false, true, false, false}},  // AutoFeed -> PaperEnd
        {0x0F, 0x00, {true, false, false, false, false}},  // Init -> Ack
        {0x03, 0x00, {false, true, false, false, false}},  // Select-in -> Busy
        {0x0B, 0x01, {false, false, false, false, true}},  // D0 -> Error
    };
    for (const Row& r : rows) {
        LptWriteData(r.data);
        LptWriteControl(r.control);
        LptReadStatus();
        EXPECT_EQ(LptCurrentStates(), r.expected) << std::hex << r.control << " " << r.data;
    }
    LptDataInputMode();
    EXPECT_EQ(LptReadData(), 0xFFu); // undriven data pins
    LptDataOutputMode();
    EXPECT_EQ(LptReadData(), 0x01u);

    LptClose();
    EXPECT_FALSE(PortOpen);
    wintest::EndOfProcess();
    EXPECT_EQ(ServiceStop(kDriverName), port::kErrorServiceDoesNotExist);
}

} // namespace
