// The port I/O client's NT path for real: Wine's service control manager loads our stand-in
// port driver (a kernel-mode image) as the "zlportio" service, and every port access is one
// device request to it.
#include <gtest/gtest.h>

#include <filesystem>

#include "BenchPort.h"
#include "ProcessEnd.h"
#include "TrackingOs.h"
#include "ddkint.h"
#include "zlportio.h"

namespace {

namespace fs = std::filesystem;

class NtPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        port::UseOs(os);
        PortIoReset();
        DriverStopRemove(); // whatever an earlier case or an interrupted run left
        wintest::EndOfProcess();
        RemoveDriverFile();
        os.Clear();
    }
    void TearDown() override
    {
        DriverStopRemove();
        wintest::EndOfProcess();
        PortIoReset();
        RemoveDriverFile();
    }

    fs::path ExeDir() { return fs::path(os.ExecutablePath()).parent_path(); }
    fs::path DriverFile() { return ExeDir() / "zlportio.sys"; }
    void PutDriverFile()
    {
        fs::copy_file(ExeDir() / "standin" / "zlportio.sys", DriverFile(),
                      fs::copy_options::overwrite_existing);
    }
    void RemoveDriverFile()
    {
        std::error_code ignored;
        fs::remove(DriverFile(), ignored);
    }

    wintest::TrackingOs os;
};

TEST_F(NtPathTest, WithoutTheDriverFileTheStartFailsAndNothingIsReachable)
{
    PortIoStartup();
    EXPECT_EQ(os.calls["CreateService"], 1); // the install was attempted
    EXPECT_EQ(os.lastBinaryPath, DriverFile().string());
    EXPECT_EQ(os.calls["StartService"], 1);
    EXPECT_FALSE(DriverOpen);
    EXPECT_FALSE(DirectIo);
    EXPECT_EQ(PortRead(888, pwByte), 0u);
    PortWrite(888, pwByte, 0x55);
    EXPECT_EQ(PortRead(888, pwByte), 0u);
    EXPECT_TRUE(os.open.empty());

    // The failed start leaves the service registered, stopped, until the next start-up.
    EXPECT_EQ(ServiceStop(kDriverName), port::kErrorServiceNotActive);
    PortIoShutdown(); // DriverOpen is false: nothing is stopped or removed
    EXPECT_EQ(ServiceRemove(kDriverName), 0u);
}

TEST_F(NtPathTest, WithTheDriverFileBesideAnOldServiceIsReplacedStartedAndOpened)
{
    PutDriverFile();
    ASSERT_EQ(ServiceInstall("C:\\nowhere\\zlportio.sys", kDriverName), 0u); // a stale one
    os.Clear();

    PortIoStartup();
    EXPECT_EQ(os.calls["DeleteService"], 1);
    EXPECT_EQ(os.calls["CreateService"], 1);
    EXPECT_EQ(os.lastBinaryPath, DriverFile().string());
    EXPECT_EQ(os.calls["StartService"], 1);
    EXPECT_EQ(os.calls["CreateFile"], 2); // before and after the start
    ASSERT_TRUE(DriverOpen);
    EXPECT_FALSE(DirectIo);
    EXPECT_NE(DeviceHandle, port::kInvalidHandle);
    EXPECT_TRUE(os.open.empty());

    // The stand-in's port at 888: a byte comes back zero-extended.
    PortWrite(890, pwByte, 0);
    PortWrite(888, pwByte, 0x55);
    EXPECT_EQ(PortRead(888, pwByte), 0x55u);

    // Stopped and deleted, as after each tested port: the open handle still reaches the port.
    DriverStopRemove();
    PortWrite(888, pwByte, 0xA5);
    EXPECT_EQ(PortRead(888, pwByte), 0xA5u);

    PortIoShutdown();
    wintest::EndOfProcess();
    EXPECT_EQ(ServiceStop(kDriverName), port::kErrorServiceDoesNotExist); // stopped and deleted
}

TEST_F(NtPathTest, AReachableDeviceIsUsedWithoutInstallingAndStillRemovedAtExit)
{
    PutDriverFile();
    ASSERT_EQ(ServiceInstall(DriverFile().string().c_str(), kDriverName), 0u);
    ASSERT_EQ(ServiceStart(kDriverName), 0u);
    os.Clear();

    PortIoStartup();
    EXPECT_TRUE(DriverOpen);
    EXPECT_EQ(os.calls["CreateFile"], 1);
    EXPECT_EQ(os.calls["OpenSCManager"], 0); // nothing installed or started
    PortWrite(888, pwByte, 0xA5);
    EXPECT_EQ(PortRead(888, pwByte), 0xA5u);

    PortIoShutdown();
    EXPECT_EQ(os.calls["ControlService"], 1);
    EXPECT_EQ(os.calls["DeleteService"], 1);
    wintest::EndOfProcess();
    EXPECT_EQ(ServiceStop(kDriverName), port::kErrorServiceDoesNotExist);
    EXPECT_TRUE(os.open.empty());
}

// The stand-in answers like the bench: the same accesses, at every width, read the same values.
TEST_F(NtPathTest, TheStandInAnswersLikeTheBench)
{
    PutDriverFile();
    PortIoStartup();
    ASSERT_TRUE(DriverOpen);

    bench::BenchPort bench;
    auto benchRead = [&](std::uint32_t p, PortIoWidth w) {
        int n = w == pwByte ? 1 : w == pwWord ? 2 : w == pwDword ? 4 : 0;
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= std::uint32_t(bench.Read(std::uint16_t(p + i))) << (8 * i);
        return v;
    };
    auto benchWrite = [&](std::uint32_t p, PortIoWidth w, std::uint32_t v) {
        int n = w == pwByte ? 1 : w == pwWord ? 2 : w == pwDword ? 4 : 0;
        for (int i = 0; i < n; ++i)
            bench.Write(std::uint16_t(p + i), std::uint8_t(v >> (8 * i)));
    };
    struct Write {
        std::uint32_t port;
        PortIoWidth width;
        std::uint32_t value;
    };
    const Write writes[] = {
        {890, pwByte, 0x00}, {888, pwByte, 0x55},  {888, pwByte, 0x01}, {890, pwByte, 0x0F},
        {890, pwByte, 0x04}, {890, pwByte, 0x2B},  {890, pwByte, 0x00}, {888, pwWord, 0xAA54},
        {888, pwDword, 0x120E00FE}, {632, pwByte, 0x55}, {888, 3, 0x77}, {890, pwByte, 0xFF},
    };
    const std::uint32_t reads[] = {887, 888, 889, 890, 891, 632};
    for (const Write& w : writes) {
        PortWrite(w.port, w.width, w.value);
        benchWrite(w.port, w.width, w.value);
        for (std::uint32_t p : reads)
            for (PortIoWidth width : {pwByte, pwWord, pwDword, PortIoWidth(3), PortIoWidth(-1)})
                EXPECT_EQ(PortRead(p, width), benchRead(p, width))
                    << "after writing " << w.value << " to " << w.port << ", read " << p
                    << " width " << width;
    }
}

TEST_F(NtPathTest, TheStandInRefusesMalformedRequests)
{
    PutDriverFile();
    PortIoStartup();
    ASSERT_TRUE(DriverOpen);
    auto request = EncodePortRequest({888, pwByte, 0});
    std::uint32_t reply = 0xDEADBEEF, returned = 99;

    EXPECT_TRUE(os.DeviceIoControl(DeviceHandle, IoctlPortRead, request.data(), 12, &reply, 4,
                                   &returned));
    EXPECT_EQ(returned, 4u);
    EXPECT_EQ(os.DeviceIoControl(DeviceHandle, PortCtlCode(0x80FF, 3, 0, 0), request.data(), 12,
                                 &reply, 4, &returned),
              false); // an unknown request
    EXPECT_FALSE(os.DeviceIoControl(DeviceHandle, IoctlPortRead, request.data(), 8, &reply, 4,
                                    &returned)); // a short request
    EXPECT_FALSE(os.DeviceIoControl(DeviceHandle, IoctlPortRead, request.data(), 12, &reply, 2,
                                    &returned)); // no room for the reply
}

} // namespace
