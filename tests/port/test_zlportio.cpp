#include <gtest/gtest.h>

#include <map>

#include "BenchOs.h"
#include "FakeOs.h"
#include "WindowsRefusals.h"
#include "zlportio.h"

namespace {

// The two request codes themselves are held by the start-up test below.
TEST(PortCtlCode, BuildsTheStandardLayout)
{
    EXPECT_EQ(PortCtlCode(0x22, 0x800, 3, 1), 0x00226003u);
}

TEST(PortRequestLayout, TwelveBytesLittleEndian)
{
    auto bytes = EncodePortRequest({0x378, 2, 0xA1B2C3D4});
    std::array<std::uint8_t, 12> expected = {0x78, 0x03, 0, 0, 2, 0, 0, 0, 0xD4, 0xC3, 0xB2, 0xA1};
    EXPECT_EQ(bytes, expected);
    PortRequest back = DecodePortRequest(bytes.data());
    EXPECT_EQ(back.Port, 0x378u);
    EXPECT_EQ(back.Width, 2);
    EXPECT_EQ(back.Value, 0xA1B2C3D4u);
}

class PortIoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PortIoReset();
        port::UseOs(os);
    }
    void TearDown() override { PortIoReset(); }
    fake::FakeOs os;
};

TEST_F(PortIoTest, NotNtFamilyUsesDirectModeWithoutServiceOrDevice)
{
    os.platformId = 1;
    PortIoStartup();
    EXPECT_TRUE(DriverOpen);
    EXPECT_TRUE(DirectIo);
    EXPECT_EQ(IoctlPortRead, 0x80FF0004u);
    EXPECT_EQ(IoctlPortWrite, 0x80FF0008u);
    EXPECT_EQ(os.CallCount("OpenSCManager"), 0u);
    EXPECT_EQ(os.CallCount("CreateFile"), 0u);

    // Each width takes its own port instruction, with the value cut to it.
    struct Row {
        PortIoWidth width;
        const char *in, *out;
    };
    const Row rows[] = {{pwByte, "InByte 888", "OutByte 888 165"},
                        {pwWord, "InWord 888", "OutWord 888 933"},
                        {pwDword, "InDword 888", "OutDword 888 305398693"}};
    for (const Row& r : rows) {
        os.ClearCalls();
        PortWrite(888, r.width, 0x123403A5);
        PortRead(888, r.width);
        EXPECT_EQ(os.Calls(), (std::vector<std::string>{r.out, r.in}));
    }
    EXPECT_EQ(PortRead(888, pwByte), 0xA5u);
    os.ClearCalls();
    EXPECT_EQ(PortRead(888, 3), 0u); // unknown width: nothing
    PortWrite(888, 7, 1);
    EXPECT_EQ(os.Calls().size(), 0u);
    EXPECT_EQ(os.Port().DataLatch(), 0xA5);

    PortIoShutdown(); // not NT: no service call
    EXPECT_EQ(os.CallCount("OpenSCManager"), 0u);
}

TEST_F(PortIoTest, TheDeviceOpenIsJudgedByTheLastErrorAlone)
{
    for (auto [error, opened] : {std::pair{0u, true}, {183u, true}, {2u, false}, {5u, false}}) {
        os.failures["CreateFile"] = error; // an invalid handle, with this last error
        port::Handle handle = 0;
        EXPECT_EQ(DeviceOpen(handle), opened) << error;
    }
    os.ClearCalls();
    os.deviceAlwaysReachable = true;
    port::Handle handle = 0;
    EXPECT_TRUE(DeviceOpen(handle));
    EXPECT_NE(handle, port::kInvalidHandle);
    // read and write access, no sharing, an existing device, normal attributes
    EXPECT_EQ(os.Calls(), (std::vector<std::string>{
                              "PlatformId", "CreateFile \\\\.\\ZLPORTIO 3221225472 0 3 128"}));
}

// On the NT family: a device already reachable is used as it is; else the driver is installed
// (replacing a service of that name), started and opened, or left registered for the next
// start-up when it cannot start. At exit the service goes, unless it never opened.
TEST_F(PortIoTest, TheDeviceAsFoundOrInstalled)
{
    const std::string longDir = "C:\\" + std::string(300, 'a');
    const struct {
        std::map<std::string, fake::Service> services; // before start-up
        std::string exe;
        bool open;
        unsigned createFiles, createServices;
        std::string driver; // the service's driver file after start-up
    } rows[] = {
        {{{"zlportio", {"C:\\elsewhere\\zlportio.sys", 1, 3, 1, true}}}, "C:\\Tamsel\\tamsel.exe",
         true, 1, 0, "C:\\elsewhere\\zlportio.sys"},
        {{{"zlportio", {"C:\\old\\zlportio.sys", 1, 3, 1, false}}}, "C:\\Tamsel\\tamsel.exe", true,
         2, 1, "C:\\Tamsel\\zlportio.sys"},
        {{}, "C:\\Missing\\tamsel.exe", false, 1, 1, "C:\\Missing\\zlportio.sys"},
        {{}, longDir + "\\tamsel.exe", false, 1, 1, longDir.substr(0, 255)}, // the path cut
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.driver.substr(0, 20));
        os = {};
        PortIoReset();
        os.services = r.services;
        os.executablePath = r.exe;
        PortIoStartup();
        EXPECT_EQ(std::pair(DriverOpen, DirectIo), std::pair(r.open, false));
        EXPECT_EQ(os.CallCount("CreateFile"), r.createFiles);
        EXPECT_EQ(os.CallCount("CreateService"), r.createServices);
        // Each service call opens the manager first.
        EXPECT_EQ(os.CallCount("OpenSCManager") > 0, r.createServices > 0);
        EXPECT_EQ(os.services["zlportio"].path, r.driver);
        EXPECT_EQ(os.services["zlportio"].running, r.open);
        os.ClearCalls();
        PortWrite(888, pwByte, 0x55);
        EXPECT_EQ(PortRead(888, pwByte), r.open ? 0x55u : 0u);
        using Requests = std::vector<std::string>;
        EXPECT_EQ(os.DeviceRequests(), (r.open ? Requests{"W 888 0 85", "R 888 0"} : Requests{}));
        PortIoShutdown();
        EXPECT_EQ(os.services.count("zlportio"), r.open ? 0u : 1u);
        EXPECT_EQ(os.CallCount("OpenSCManager") > 0, r.open);
        // Only the device handle stays, released by the process end.
        EXPECT_EQ(os.OpenHandleCount(), r.open ? 1u : 0u);
    }
}

// The ways to the ports on the NT family in their order: the driver, else the port library in
// direct mode, else a refusal per way that failed, each with its reason and remedy.
TEST_F(PortIoTest, TheDriverElseThePortLibraryElseTheReasonAndTheRemedy)
{
    using L = port::PortLibraryState;
    struct Row {
        bool administrator, driverFile;
        std::uint32_t startFailure; // injected into StartService; 0: none
        port::PortLibrary library;
        bool driver, direct;
        std::vector<const char*> said; // in the refusals' English then French lines, in order
    };
    const Row rows[] = {
        {true, true, 0, {L::Open, 0}, true, false, {}},
        {true, false, 0, {L::Open, 0}, true, true, {}},
        {true, true, 1275, {L::Open, 0}, true, true, {}},
        {true, false, 0, {L::Absent, 0}, false, false,
         {"neither the port driver zlportio.sys nor inpoutx64.dll", "64-bit inpoutx64.dll",
          "ni le driver de port zlportio.sys ni inpoutx64.dll", "Exécuter en tant qu'admin"}},
        {false, true, 0, {L::Absent, 0}, false, false,
         {"administrator rights (error 5)", "\"Run as administrator\"",
          "droits d'administrateur (erreur 5)", "« Exécuter en tant qu'administrateur »"}},
        {true, true, 1275, {L::Absent, 0}, false, false,
         {"32-bit driver, which 64-bit Windows does not load (error 1275)", "use InpOutx64",
          "driver 32 bits", "utiliser InpOutx64"}},
        {true, true, 193, {L::Absent, 0}, false, false, {"32-bit driver", "(erreur 193)"}},
        {true, true, 577, {L::Absent, 0}, false, false,
         {"no valid signature (error 577)", "InpOutx64", "signature valide (erreur 577)"}},
        {true, true, 0x800B010C, {L::Absent, 0}, false, false,
         {"vulnerable driver blocklist", "(error 0x800B010C)", "Core isolation",
          "from Linux through ppdev, or with a USB I/O adapter",
          "Sécurité Windows › Sécurité de l'appareil › Isolation du noyau", "adaptateur d'E/S USB"}},
        {true, false, 0, {L::DriverClosed, 0}, false, false,
         {"its driver is not open", "once with \"Run as administrator\"", "premier démarrage"}},
        {true, true, 1275, {L::Unloadable, 193}, false, false,
         {"(error 1275)", "inpoutx64.dll in the program's folder does not load (error 193)",
          "ne se charge pas (erreur 193)"}},
        {true, false, 0, {L::Incomplete, 0}, false, false, {"lacks the port functions"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.startFailure + r.driverFile * 10 + int(r.library.State) * 100);
        os = {};
        PortIoReset();
        os.administrator = r.administrator;
        if (!r.driverFile)
            os.existingFiles.clear();
        if (r.startFailure != 0)
            os.failures["StartService"] = r.startFailure;
        os.portLibrary = r.library;
        PortIoStartup();
        EXPECT_EQ(DriverOpen, r.driver);
        EXPECT_EQ(DirectIo, r.direct);
        // The library is tried only after the driver failed.
        EXPECT_EQ(os.CallCount("OpenPortLibrary"), r.driver && !r.direct ? 0u : 1u);

        std::string text;
        for (const auto& refusal : port::WaysRefusals(DriverOpen, r.driverFile, DriverStartCode, PortLib))
            text += refusal.English.Reason + "|" + refusal.English.Remedy + "|" +
                    refusal.French.Reason + "|" + refusal.French.Remedy + "|";
        EXPECT_EQ(text.empty(), r.said.empty()) << text;
        std::size_t at = 0;
        for (const char* said : r.said) {
            at = text.find(said, at);
            EXPECT_NE(at, std::string::npos) << said << " in " << text;
        }
        EXPECT_EQ(text.find(" off"), std::string::npos) << text; // no protection turned off

        // In direct mode a write reaches the port through the library, not the device.
        os.ClearCalls();
        PortWrite(888, pwByte, 0x55);
        EXPECT_EQ(os.Port().DataLatch(), r.driver ? 0x55 : 0);
        EXPECT_EQ(os.CallCount("OutByte 888 85"), r.direct ? 1u : 0u);
    }
}

TEST_F(PortIoTest, DriverReadsAreZeroExtendedAndFailedRequestsReadZero)
{
    os.deviceAlwaysReachable = true;
    PortIoStartup();
    PortWrite(888, pwByte, 0x55);
    EXPECT_EQ(PortRead(888, pwByte), 0x55u);
    os.readReplyHighBits = 0x100;
    EXPECT_EQ(PortRead(888, pwByte), 0x155u); // passed through unmasked
    os.readReplyHighBits = 0;
    os.failures["DeviceIoControl"] = 31;
    EXPECT_EQ(PortRead(888, pwByte), 0u);
}

TEST(PortIoOnBench, WordAndDoubleWordAccessesReachConsecutiveRegisters)
{
    bench::BenchOs os;
    PortIoReset();
    port::UseOs(os);
    PortIoStartup();
    PortWrite(888, pwByte, 0x12);
    EXPECT_EQ(PortRead(888, pwWord) & 0xFF, 0x12u);
    EXPECT_EQ(PortRead(888, pwWord) >> 8, std::uint32_t(PortRead(889, pwByte)));
    EXPECT_EQ(PortRead(0x300, pwDword), 0xFFFFFFFFu); // empty bus
    PortIoReset();
}

} // namespace
