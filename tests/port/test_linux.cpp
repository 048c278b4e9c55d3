#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "../fixtures/Captured.h"
#include "FakeLinuxSys.h"
#include "LinuxOs.h"
#include "ParportProc.h"
#include "zlportio.h"

namespace {

using fake::PpCall;
using Method = port::LinuxOs::Method;

TEST(ParportProc, ParsesBaseAddrDefensively)
{
    const struct {
        const char* text;
        std::uint32_t base, hi;
    } rows[] = {
        {"888\t1912\n", 888, 1912},
        {"888\t0\n", 888, 0},
        {"888", 888, 0},
        {"53264\t54288\n", 0xD010, 0xD410}, // above 0x7FFF: a PCIe card
        {"  56320 \t 0 \n", 0xDC00, 0},
    };
    for (const auto& row : rows) {
        const auto parsed = port::ParseBaseAddr(row.text);
        ASSERT_TRUE(parsed.has_value()) << row.text;
        EXPECT_EQ(std::pair(parsed->Base, parsed->BaseHi), std::pair(row.base, row.hi)) << row.text;
    }
    const std::string_view refused[] = {"",         "\n",      "garbage",   "-888\t0",
                                        "0x378\t0", "888x\t0", "888\t19x", "888\t0\t7",
                                        "99999999999\t0", {"888\0\t0", 6}};
    for (std::string_view text : refused)
        EXPECT_FALSE(port::ParseBaseAddr(text).has_value()) << text;
}

TEST(ParportProc, DiscoversUsablePortsInNumberOrder)
{
    fake::FakeLinuxSys sys;
    sys.AddPort(10, "56320\t0\n", "PCSPP,TRISTATE,EPP");
    sys.AddPort(0, "888\t1912\n", "PCSPP,TRISTATE,COMPAT,ECP");
    sys.AddPort(2, "garbage\n");
    sys.AddPort(3, "65534\t0\n");     // registers would run past 0xFFFF
    sys.AddPort(4, "632\t99999\n");   // ECP base out of range: dropped, port kept
    sys.AddPort(5, "0\t0\n");         // no I/O address
    sys.AddPort(6, "956\t0\n");
    sys.files.erase("/proc/sys/dev/parport/parport6/modes");
    sys.AddPort(7, "1\t0\n");
    sys.files.erase("/proc/sys/dev/parport/parport7/base-addr");
    for (const char* other : {"default", "parport", "parportx", "parport1a", "xparport1"})
        sys.dirs["/proc/sys/dev/parport"].push_back(other);

    auto ports = port::DiscoverKernelPorts(sys);
    ASSERT_EQ(ports.size(), 5u);
    EXPECT_EQ(ports[0].Number, 0);
    EXPECT_EQ(ports[0].Base, 0x378);
    EXPECT_EQ(ports[0].BaseHi, 0x778);
    EXPECT_EQ(ports[0].Device, "/dev/parport0");
    EXPECT_TRUE(ports[0].HasMode("ECP"));
    EXPECT_FALSE(ports[0].HasMode("EPP"));
    EXPECT_EQ(ports[1].Number, 4);
    EXPECT_EQ(ports[1].BaseHi, 0);
    EXPECT_EQ(ports[2].Number, 5);
    EXPECT_FALSE(ports[2].Covers(0)); // no address: never serves one
    EXPECT_EQ(ports[3].Number, 6);
    EXPECT_FALSE(ports[3].ModesKnown);
    EXPECT_EQ(ports[4].Number, 10);
    EXPECT_EQ(ports[4].Device, "/dev/parport10");
    EXPECT_TRUE(ports[4].Covers(0xDC02));
    EXPECT_FALSE(ports[4].Covers(0xDC03));
    EXPECT_FALSE(ports[4].Covers(0xDBFF));

    fake::FakeLinuxSys empty;
    EXPECT_TRUE(port::DiscoverKernelPorts(empty).empty());
}

TEST(ParportProc, ReadsTheLockdownModeInForce)
{
    EXPECT_EQ(port::ActiveLockdown(std::nullopt), "");
    EXPECT_EQ(port::ActiveLockdown("[none] integrity confidentiality\n"), "");
    EXPECT_EQ(port::ActiveLockdown("none [integrity] confidentiality\n"), "integrity");
    EXPECT_EQ(port::ActiveLockdown("none integrity [confidentiality]\n"), "confidentiality");
    EXPECT_EQ(port::ActiveLockdown("none [integrity"), "");
}

// A PCIe parallel card (two I/O windows, one memory window), a serial card, an SMBus controller.
void AddCards(fake::FakeLinuxSys& s)
{
    s.AddPciDevice("0000:03:00.0", "0x070102",
                   "0x000000000000d010 0x000000000000d017 0x0000000000040101\n"
                   "0x000000000000d000 0x000000000000d007 0x0000000000040101\n"
                   "0x000000000000c000 0x000000000000c0ff 0x0000000000040200\n");
    s.AddPciDevice("0000:04:00.0", "0x070002", "0x000000000000e000 0x000000000000e007 0x101\n");
    s.AddPciDevice("0000:00:1f.4", "0x0c0500", "0x000000000000f000 0x000000000000f01f 0x101\n");
}

TEST(ParallelRanges, LegacyKernelAndPciParallelPortsOnly)
{
    fake::FakeLinuxSys sys;
    sys.AddPort(0, "888\t1912\n");
    sys.AddPort(1, "59392\n");
    AddCards(sys);
    const auto ranges = port::ParallelPortRanges(sys);
    const std::pair<std::uint32_t, bool> rows[] = {
        {0x37F, true},  {0x380, false}, {0x77A, true},  {0x77B, false}, {0xE807, true},
        {0xEC02, true}, {0xD017, true}, {0xD018, false}, {0xD000, true}, {0xC000, false},
        {0xE000, false}, {0xF000, false}};
    for (const auto& [address, in] : rows)
        EXPECT_EQ(port::InRanges(ranges, address), in) << std::hex << address;
}

class LinuxOsTest : public ::testing::Test {
protected:
    LinuxOsTest() { sys.AddPort(0, "888\t1912\n"); }
    void TearDown() override
    {
        for (const PpCall& call : sys.pp) {
            EXPECT_NE(call.Name, "PPEXCL");
            if (call.Name == "PPWCONTROL") {
                EXPECT_EQ(call.Value & 0x20, 0) << "direction bit through PPWCONTROL";
            }
        }
    }
    port::LinuxOs& Os()
    {
        if (!os)
            os = std::make_unique<port::LinuxOs>(sys, err.File());
        return *os;
    }
    // The ppdev requests after the claim.
    std::vector<PpCall> Requests()
    {
        std::vector<PpCall> calls;
        for (const PpCall& call : sys.pp)
            if (call.Name != "PPCLAIM")
                calls.push_back(call);
        return calls;
    }
    fake::FakeLinuxSys sys;
    Captured err;
    std::unique_ptr<port::LinuxOs> os;
};

TEST_F(LinuxOsTest, ReadCycleAndWriteActionThroughPpdev)
{
    port::UseOs(Os());
    PortIoReset();
    PortIoStartup();
    sys.status = 0x78;
    sys.latch = 0x55;

    // Read cycle: status, input mode, data, output mode.
    EXPECT_EQ(PortRead(0x379, pwByte), 0x78u); // raw: Busy stays inverted
    PortWrite(0x37A, pwByte, 0x20);
    EXPECT_EQ(PortRead(0x378, pwByte), 0xFFu); // nothing drives the pins
    PortWrite(0x37A, pwByte, 0x00);
    std::vector<PpCall> cycle = {{"PPCLAIM", -1}, // at the first use
                                 {"PPRSTATUS", 0x78}, {"PPDATADIR", 1}, {"PPWCONTROL", 0},
                                 {"PPRDATA", 0xFF},   {"PPDATADIR", 0}, {"PPWCONTROL", 0}};
    EXPECT_EQ(sys.pp, cycle);

    // Write action: control 0x00, data, control value; the claim is kept to the end, then
    // released and the device closed.
    sys.pp.clear();
    PortWrite(0x37A, pwByte, 0x00);
    PortWrite(0x378, pwByte, 0xA5);
    PortWrite(0x37A, pwByte, 0x0E);
    EXPECT_EQ(PortRead(0x378, pwByte), 0xA5u); // output mode reads the latch back
    EXPECT_EQ(sys.OpenCount(), 1);
    EXPECT_TRUE(sys.raw.empty());
    EXPECT_EQ(sys.iopermCalls, 0);
    PortIoReset();
    os.reset();
    std::vector<PpCall> write = {{"PPDATADIR", 0}, {"PPWCONTROL", 0},    {"PPWDATA", 0xA5},
                                 {"PPDATADIR", 0}, {"PPWCONTROL", 0x0E}, {"PPRDATA", 0xA5},
                                 {"PPRELEASE", -1}};
    EXPECT_EQ(sys.pp, write);
    EXPECT_EQ(sys.OpenCount(), 0);
}

TEST_F(LinuxOsTest, ControlWritesSplitIntoDirectionAndLines)
{
    struct Row {
        std::uint8_t value;
        int reverse;
        int lines;
    } rows[] = {{0x20, 1, 0x00}, {0x2B, 1, 0x0B}, {0x0F, 0, 0x0F}, {0x00, 0, 0x00},
                {0xFF, 1, 0x0F}, {0x10, 0, 0x00}, {0x24, 1, 0x04}, {0x04, 0, 0x04}};
    for (const Row& row : rows) {
        sys.pp.clear();
        Os().OutByte(0x37A, row.value);
        std::vector<PpCall> expected = {{"PPDATADIR", row.reverse}, {"PPWCONTROL", row.lines}};
        EXPECT_EQ(Requests(), expected) << int(row.value);
        sys.pp.clear();
        EXPECT_EQ(Os().InByte(0x37A), row.value); // the value last written, no request
        EXPECT_TRUE(sys.pp.empty());
    }
}

TEST_F(LinuxOsTest, WiderAccessesAreBytesAtConsecutiveAddresses)
{
    sys.latch = 0x12;
    sys.status = 0x87;
    EXPECT_EQ(Os().InByte(0x37A), 0x0B); // before any write: the lines as the kernel has them
    EXPECT_EQ(Os().InWord(0x378), 0x8712);
    sys.bus[0x37B] = 0x44;               // past the kernel port: /dev/port
    EXPECT_EQ(Os().InDword(0x378), 0x440B8712u);
    sys.pp.clear();
    Os().OutWord(0x378, 0x3399);          // status is read-only: no request for it
    EXPECT_EQ(Requests(), (std::vector<PpCall>{{"PPWDATA", 0x99}}));
    Os().OutDword(0x378, 0x552B00A1);
    EXPECT_EQ(sys.latch, 0xA1);
    EXPECT_TRUE(sys.reverse);
    EXPECT_EQ(sys.bus[0x37B], 0x55);
}

struct RefusalCase {
    const char* name;
    bool user;                       // /dev/port and ioperm refused, as to a user without root
    void (*setup)(fake::FakeLinuxSys&);
    std::uint16_t address;
    Method method;
    std::vector<std::string> said;   // pieces standard error must contain
    bool reasons = false;            // a usable method with a warning
};

const auto noAccess = [](fake::FakeLinuxSys& s) {
    s.openErrors["/dev/port"] = EACCES;
    s.iopermError = EPERM;
};
const std::string kActive = "/proc/sys/dev/parport/parport0/devices/active";
// Started by a file capability: ioperm works, /dev/port stays closed to the user.
const auto raised = [](fake::FakeLinuxSys& s) {
    s.secureExecution = true;
    s.openErrors["/dev/port"] = EACCES;
    AddCards(s);
};

class RefusalTest : public LinuxOsTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, PicksTheMethodAndExplainsARefusal)
{
    const RefusalCase& c = GetParam();
    if (c.user)
        noAccess(sys);
    c.setup(sys);
    Os().ReportPortAccess({c.address});
    EXPECT_EQ(Os().MethodFor(c.address), c.method);
    // Only the device or /dev/port in use stays open: a refused device is closed.
    EXPECT_EQ(sys.OpenCount(), int(c.method == Method::Ppdev || c.method == Method::DevPort));
    std::string text = err.Text();
    EXPECT_NE(text.find("tamsel: kernel parallel port parport0 at 0x378 (ECP 0x778), "
                        "/dev/parport0, modes PCSPP"),
              std::string::npos)
        << text;
    for (const std::string& piece : c.said)
        EXPECT_NE(text.find(piece), std::string::npos) << piece << "\n" << text;
    if (c.method == Method::None) {
        EXPECT_NE(text.find("tamsel:   reason: "), std::string::npos);
        EXPECT_NE(text.find("tamsel:   remedy: "), std::string::npos);
        // One reason for the three registers, not one each.
        EXPECT_EQ(text.find("reason:"), text.rfind("reason:")) << text;
        EXPECT_THROW(Os().InByte(c.address), port::PortAccessError);
        EXPECT_THROW(Os().OutByte(c.address, 1), port::PortAccessError);
        EXPECT_EQ(err.Text(), text); // explained once
        EXPECT_LE(sys.iopermCalls, 1); // a refused ioperm is not asked again
        // Said first by a refused access, a refusal comes under a line naming its port.
        Captured quiet;
        EXPECT_THROW(port::LinuxOs(sys, quiet.File()).OutByte(c.address, 1),
                     port::PortAccessError);
        EXPECT_EQ(quiet.Text(), text.substr(text.find("tamsel: port ")));
    } else if (!c.reasons) {
        EXPECT_EQ(text.find("reason:"), std::string::npos) << text;
    }
    // The window gets the refusal of a port refused, every word filled in, and none otherwise.
    auto refusals = Os().RefusalsAt(c.address);
    EXPECT_EQ(refusals.size(), c.method == Method::None ? 1u : 0u);
    for (const port::AccessRefusal& r : refusals)
        EXPECT_EQ((r.French.Reason + r.French.Remedy).find('{'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, RefusalTest,
    ::testing::Values(
        RefusalCase{"ppdev", false, [](fake::FakeLinuxSys&) {}, 0x378, Method::Ppdev,
                    {"tamsel: port 0x378: ppdev (/dev/parport0)\n"}},
        RefusalCase{"NotInGroupLp", true,
                    [](fake::FakeLinuxSys& s) { s.openErrors["/dev/parport0"] = EACCES; }, 0x378,
                    Method::None,
                    {"port 0x378: no access\n", "/dev/parport0: Permission denied: you are not "
                     "in group lp\n", "remedy: sudo usermod -aG lp $USER"}},
        RefusalCase{"PpdevNotLoadedRootFallsBack", false,
                    [](fake::FakeLinuxSys& s) { s.devices.erase("/dev/parport0"); }, 0x378,
                    Method::DevPort, {"tamsel: port 0x378: /dev/port\n"}},
        RefusalCase{"PpdevNotLoaded", true,
                    [](fake::FakeLinuxSys& s) { s.devices.erase("/dev/parport0"); }, 0x378,
                    Method::None, {"ppdev module is not loaded", "sudo modprobe ppdev"}},
        RefusalCase{"HeldByLp", true, [](fake::FakeLinuxSys& s) { s.files[kActive] = "lp\n"; },
                    0x378, Method::None,
                    {"reason: parport0 is held by the printer driver lp and cannot be claimed\n",
                     "remedy: sudo rmmod lp (or let the printing end), then start tamsel "
                     "again\n"}},
        RefusalCase{"ClaimNotRegistered", true,
                    [](fake::FakeLinuxSys& s) { s.registerError = ENXIO; }, 0x378, Method::None,
                    {"reason: parport0 cannot take another user (No such device or address): "
                     "it is gone, or another program or driver holds it exclusively\n",
                     "remedy: close the other program that uses /dev/parport0 (sudo fuser -v "
                     "/dev/parport0 names it), or see whether the kernel still lists parport0 "
                     "(sudo dmesg | grep parport), then start tamsel again\n"}},
        // Not claimed: a claim would sleep until lp lets go.
        RefusalCase{"HeldByLpRootFallsBack", false,
                    [](fake::FakeLinuxSys& s) { s.files[kActive] = "lp\n"; }, 0x378,
                    Method::DevPort, {"tamsel: port 0x378: /dev/port\n"}},
        RefusalCase{"HeldByAnotherProgram", true,
                    [](fake::FakeLinuxSys& s) { s.files[kActive] = "ppdev0\n"; }, 0x378,
                    Method::None,
                    {"held by ppdev0", "close the other program that uses /dev/parport0"}},
        RefusalCase{"NeedsRoot", true, [](fake::FakeLinuxSys&) {}, 0x278, Method::None,
                    {"port 0x278: no access\n", "raw port I/O needs root or "
                     "CAP_SYS_RAWIO (/dev/port: Permission denied; ioperm: Operation not "
                     "permitted)", "sudo setcap cap_sys_rawio+ep ", " (warning: every user who "
                     "runs it then reaches the parallel ports, and only them)\n"}},
        RefusalCase{"AmongAKernelPortsRegisters", true, [](fake::FakeLinuxSys&) {}, 0x37B,
                    Method::None, {"remedy: reach parport0 at 0x378 through ppdev as a member of "
                                   "group lp (sudo usermod -aG lp $USER, then log out and back "
                                   "in), or run tamsel as root\n"}},
        RefusalCase{"NoRawAccessInThisKernel", false,
                    [](fake::FakeLinuxSys& s) { s.devices = {}, s.iopermError = ENOSYS; }, 0x278,
                    Method::None, {"reason: this kernel offers no raw port access (/dev/port: No "
                                   "such file or directory; ioperm: Function not implemented)\n",
                                   "remedy: use a port the kernel drives, through ppdev"}},
        RefusalCase{"Lockdown", false,
                    [](fake::FakeLinuxSys& s) {
                        s.openErrors["/dev/port"] = EPERM;
                        s.iopermError = EPERM;
                        s.files["/sys/kernel/security/lockdown"] =
                            "none [integrity] confidentiality\n";
                    },
                    0xD010, Method::None,
                    {"locked down (integrity, see /sys/kernel/security/lockdown)",
                     "remedy: use a port the kernel drives, through ppdev: sudo modprobe "
                     "parport_pc ppdev, and be in group lp (sudo usermod -aG lp $USER)\n"}},
        RefusalCase{"NotX86", false,
                    [](fake::FakeLinuxSys& s) {
                        s.x86 = false;
                        s.devices.erase("/dev/port");
                    },
                    0x278, Method::None, {"not x86", "through ppdev"}},
        RefusalCase{"Ioperm", false,
                    [](fake::FakeLinuxSys& s) { s.openErrors["/dev/port"] = EACCES; }, 0xDC00,
                    Method::PortInstructions, {"port 0xDC00: port instructions (ioperm)\n"}},
        RefusalCase{"RaisedReachesTheCard", false, raised, 0xD010, Method::PortInstructions,
                    {"port 0xD010: port instructions (ioperm)\n"}},
        RefusalCase{"RaisedRefusedTheResetRegister", false, raised, 0xCF9, Method::None,
                    {"port 0xCF9: no access\n", "reason: not a parallel-port register: tamsel "
                     "has its right to raw port I/O from its file (a capability or set-user-id), "
                     "which reaches parallel ports only\n", "remedy: run tamsel as root\n"}},
        RefusalCase{"RaisedRefusedPciConfiguration", false, raised, 0xCF8, Method::None,
                    {"port 0xCF8: no access\n", "reason: not a parallel-port register"}},
        RefusalCase{"RaisedRefusedThePostCode", false, raised, 0x80, Method::None,
                    {"port 0x080: no access\n", "reason: not a parallel-port register"}},
        RefusalCase{"RootIsNotConfined", false,
                    [](fake::FakeLinuxSys& s) {
                        raised(s);
                        s.realUid = 0;
                        s.openErrors.clear();
                    },
                    0xCF9, Method::DevPort, {"port 0xCF9: /dev/port\n"}},
        RefusalCase{"NoTristate", false,
                    [](fake::FakeLinuxSys& s) {
                        s.files["/proc/sys/dev/parport/parport0/modes"] = "PCSPP\n";
                    },
                    0x378, Method::Ppdev,
                    {"ppdev (/dev/parport0)", "parport0 has no TRISTATE in its modes (PCSPP), "
                     "so input mode cannot work", "firmware (BIOS)"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A port taken by another driver between the look at devices/active and the claim: the claim
// sleeps, and start-up must go on after the bounded wait whatever the holder does.
TEST_F(LinuxOsTest, ClaimWaitsForAHolderOnlySoLong)
{
    using namespace std::chrono;
    const auto wait = duration_cast<milliseconds>(port::LinuxOs::kClaimWait);
    struct Row {
        const char* name;
        std::string holder;
        int heldForMs;
        int signals;            // other signals that cut the claim short at once
        Method method;
        int claims;             // each on a descriptor of its own
        milliseconds least;     // no upper bound: a busy machine may be late by any amount, and
                                // a claim the alarm never cut short fails in the fake kernel
        std::vector<std::string> said;
    } rows[] = {
        {"let go soon", "lp", 300, 0, Method::Ppdev, 1, 250ms, {}},
        {"another signal", "", 0, 2, Method::Ppdev, 3, 0ms, {}},
        {"kept by lp", "lp", -1, 0, Method::None, 1, wait,
         {"reason: parport0 is held by the printer driver lp and was not released within 1 s\n",
          "remedy: sudo rmmod lp (or let the printing end), then start tamsel again\n"}},
        {"kept by a program", "ppdev1", -1, 1, Method::None, 2, wait,
         {"reason: parport0 is held by ppdev1 and was not released within 1 s\n",
          "remedy: close the other program that uses /dev/parport0 (sudo fuser -v "
          "/dev/parport0 names it), then start tamsel again\n"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fake::FakeLinuxSys kernel;
        kernel.AddPort(0, "888\t1912\n");
        noAccess(kernel);
        kernel.holderAtClaim = row.holder;
        kernel.heldForMs = row.heldForMs;
        kernel.signalsDuringClaim = row.signals;
        Captured said;
        port::LinuxOs os(kernel, said.File());
        auto start = steady_clock::now();
        os.ReportPortAccess({0x378});
        EXPECT_GE(steady_clock::now() - start, row.least);
        EXPECT_EQ(os.MethodFor(0x378), row.method);
        EXPECT_EQ(kernel.Count("PPCLAIM"), row.claims);
        EXPECT_EQ(kernel.OpenCount(), row.method == Method::Ppdev ? 1 : 0);
        std::string text = said.Text();
        for (const std::string& piece : row.said)
            EXPECT_NE(text.find(piece), std::string::npos) << piece << "\n" << text;
        if (row.method == Method::Ppdev) {
            os.OutByte(0x378, 0x5A);
            EXPECT_EQ(kernel.latch, 0x5A);
        }
    }
}

TEST_F(LinuxOsTest, RawMethodsUseTheAddressItself)
{
    sys.openErrors["/dev/parport0"] = EACCES;
    sys.bus[0x378] = 0x5A;
    EXPECT_EQ(Os().InByte(0x378), 0x5A);
    Os().OutByte(0xD010, 0x66);
    EXPECT_EQ(sys.raw, (std::vector<std::string>{"pread 0x378", "pwrite 0xD010=0x66"}));

    sys.devPortIoError = EIO;
    EXPECT_THROW(Os().InByte(0x278), port::PortAccessError);
    EXPECT_THROW(Os().OutByte(0x278, 1), port::PortAccessError);

    fake::FakeLinuxSys bare;
    bare.devices.clear();
    port::LinuxOs direct(bare, nullptr);
    direct.OutByte(0x3BC, 0x11);
    EXPECT_EQ(direct.InByte(0x3BC), 0x11);
    EXPECT_EQ(direct.InByte(0x3BC), 0x11);
    EXPECT_EQ(bare.raw, (std::vector<std::string>{"outb 0x3BC=0x11", "inb 0x3BC", "inb 0x3BC"}));
    EXPECT_EQ(bare.iopermCalls, 1);
}

TEST_F(LinuxOsTest, VanishedDeviceReadsAsAnErrorFromThenOn)
{
    port::UseOs(Os());
    PortIoReset();
    PortIoStartup();
    sys.status = 0x78;
    EXPECT_EQ(PortRead(0x379, pwByte), 0x78u);
    sys.lost = true; // the USB adapter is unplugged
    sys.pp.clear();
    EXPECT_THROW(PortRead(0x379, pwByte), port::PortAccessError);
    EXPECT_NE(err.Text().find("/dev/parport0 stopped answering (No such device)"),
              std::string::npos);
    EXPECT_THROW(PortWrite(0x378, pwByte, 1), port::PortAccessError);
    EXPECT_THROW(PortRead(0x37A, pwByte), port::PortAccessError);
    EXPECT_EQ(sys.pp.size(), 1u); // no more requests to a port that is gone
    EXPECT_TRUE(sys.raw.empty()); // and no raw access behind the kernel's back
    os.reset();
    EXPECT_EQ(sys.Count("PPRELEASE"), 0);
    EXPECT_EQ(sys.OpenCount(), 0);
    PortIoReset();
}

TEST_F(LinuxOsTest, ReportListsEachAddressOnceWithMixedMethods)
{
    sys.dirs["/proc/sys/dev/parport"].clear();
    sys.AddPort(1, "53264\t54288\n");
    sys.devices = {"/dev/parport1", "/dev/port"};
    Os().ReportPortAccess({0, 0xD011, 0x278, 0xD011, 0});
    EXPECT_EQ(err.Text(),
              "tamsel: kernel parallel port parport1 at 0xD010 (ECP 0xD410), /dev/parport1, "
              "modes PCSPP,TRISTATE\n"
              "tamsel: port 0xD011: 0xD011 ppdev (/dev/parport1), 0xD012 ppdev (/dev/parport1), "
              "0xD013 /dev/port\n"
              "tamsel: port 0x278: /dev/port\n");

    fake::FakeLinuxSys none;
    Captured noneErr;
    port::LinuxOs bare(none, noneErr.File());
    bare.ReportPortAccess({});
    EXPECT_EQ(noneErr.Text(),
              "tamsel: no kernel parallel port (/proc/sys/dev/parport lists none)\n");
}

} // namespace
