// The Linux port access against a real kernel, inside the guest that run-guest.sh boots:
// emulated ports at 0x378, 0x278 and 0x3B8 driven by parport_pc and ppdev, nothing at 0x3BC.
// Each suite runs under the identity its name gives (root; a user in group lp; a user outside
// it), which guest-checks.sh sets; a suite run under another identity fails.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <optional>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

#include "GuestPorts.h"
#include "LinuxOs.h"
#include "ParportProc.h"

namespace {

using Method = port::LinuxOs::Method;

constexpr gid_t kGroupLp = 7;

std::string Hex(unsigned v)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", v);
    return text;
}

// The real calls, but the device files named here refuse to open, so that a later method
// serves the kernel's ports too; and, when blind, every port looks free when checked, as when
// another program takes it between that look and the claim.
class RefusingSys : public port::PosixLinuxSys {
public:
    explicit RefusingSys(std::vector<std::string> refused, bool blind = false)
        : refused_(std::move(refused)), blind_(blind)
    {
    }
    int Open(const std::string& path, int flags) override
    {
        for (const std::string& prefix : refused_)
            if (path.rfind(prefix, 0) == 0)
                return -EACCES;
        return PosixLinuxSys::Open(path, flags);
    }
    std::optional<std::string> ReadText(const std::string& path) override
    {
        const std::string active = "/devices/active";
        if (blind_ && path.size() >= active.size() &&
            path.compare(path.size() - active.size(), active.size(), active) == 0)
            return std::string("none\n");
        return PosixLinuxSys::ReadText(path);
    }

private:
    std::vector<std::string> refused_;
    bool blind_;
};

// A backend that reaches the kernel's ports by the given method: ppdev, or /dev/port with
// ppdev refused, or ioperm with both refused.
struct Backend {
    explicit Backend(Method m, bool blind = false)
        : sys(m == Method::Ppdev     ? std::vector<std::string>{}
              : m == Method::DevPort ? std::vector<std::string>{"/dev/parport"}
                                     : std::vector<std::string>{"/dev/parport", "/dev/port"},
              blind),
          os(sys, log.File())
    {
    }
    Captured log;
    RefusingSys sys;
    port::LinuxOs os;
};

const std::vector<std::string> kRawRefusal = RawRefusalLines();

// The emulated port's own answers. Its status register follows the control lines written, as
// a printer would: Init low (control bit 2 clear) resets it to 0xD8 (Busy bit, Ack, Select and
// Error set); Init high with the Strobe and Select-in bits set clears the Busy bit (0x58); the
// Strobe bit cleared after that answers like a printer taking the byte, one read at a time:
// Ack goes low (0x18), then Busy comes back (0xD8). Each row starts from a reset by control
// 0x00, writes its controls in order, then reads the status three times.
struct StatusAnswer {
    std::vector<std::uint8_t> Controls;
    std::uint8_t Reads[3];
};
const StatusAnswer kStatusAnswers[] = {
    {{0x00}, {0xD8, 0xD8, 0xD8}}, // every control switch as after a data write
    {{0x0B}, {0xD8, 0xD8, 0xD8}}, // every control switch off
    {{0x04}, {0xD8, 0xD8, 0xD8}}, // every control switch on
    {{0x20}, {0xD8, 0xD8, 0xD8}}, // data lines as inputs
    {{0x0E}, {0xD8, 0xD8, 0xD8}}, // Strobe and Init on
    {{0x0D}, {0x58, 0x58, 0x58}}, // AutoFeed and Init on
    {{0x0F}, {0x58, 0x58, 0x58}}, // Init on only
    {{0x0D, 0x0C}, {0x58, 0x18, 0xD8}}, // then Strobe on: the byte taken
};

// The register accesses of detection, of a write action and of a read cycle on one port, and
// what the emulated port answers to each.
void ExpectEmulatedAnswers(port::LinuxOs& os, std::uint16_t base)
{
    SCOPED_TRACE("port " + Hex(base));
    // detection: control 0, data 0x55, read back
    os.OutByte(base + 2, 0x00);
    os.OutByte(base, 0x55);
    EXPECT_EQ(Hex(os.InByte(base)), Hex(0x55));
    // write action: data, then control
    os.OutByte(base + 2, 0x00);
    os.OutByte(base, 0xA6);
    os.OutByte(base + 2, 0x0E);
    EXPECT_EQ(Hex(os.InByte(base)), Hex(0xA6));
    // read cycle with the data lines: in input mode nothing drives them and they read 0xFF
    os.OutByte(base + 2, 0x20);
    EXPECT_EQ(Hex(os.InByte(base)), Hex(0xFF));
    os.OutByte(base + 2, 0x00);
    EXPECT_EQ(Hex(os.InByte(base)), Hex(0xA6)) << "output mode again reads the latch";
    for (const StatusAnswer& answer : kStatusAnswers) {
        os.OutByte(base + 2, 0x00);
        for (std::uint8_t control : answer.Controls)
            os.OutByte(base + 2, control);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Hex(os.InByte(base + 1)), Hex(answer.Reads[i]))
                << "last control " << Hex(answer.Controls.back()) << ", status read " << i + 1;
    }
    os.OutByte(base + 2, 0x00);
    EXPECT_EQ(os.InWord(base), 0xA6 | 0xD8 << 8) << "word = data | status << 8";
}

bool InGroup(gid_t group)
{
    std::vector<gid_t> groups(std::size_t(std::max(getgroups(0, nullptr), 0)));
    groups.resize(std::size_t(std::max(getgroups(int(groups.size()), groups.data()), 0)));
    return getegid() == group || std::find(groups.begin(), groups.end(), group) != groups.end();
}

// A suite that runs as root or not, in group lp or not.
template <bool Root, bool InLp>
class As : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(geteuid() == 0, Root) << "this suite runs " << (Root ? "as root" : "without root");
        if (!Root) {
            ASSERT_EQ(InGroup(kGroupLp), InLp)
                << "this suite runs " << (InLp ? "in" : "outside") << " group lp";
        }
    }
};
using AsRoot = As<true, true>;
using AsLpMember = As<false, true>;
using AsOutsider = As<false, false>;

struct MethodCase {
    const char* Name;
    Method How;
};

std::ostream& operator<<(std::ostream& os, const MethodCase& c) { return os << c.Name; }

class AsRootByMethod : public AsRoot, public ::testing::WithParamInterface<MethodCase> {};

TEST_P(AsRootByMethod, EveryPortAnswersAsTheEmulatedPortDoes)
{
    const Method how = GetParam().How;
    Backend backend(how);
    for (const GuestPort& p : kGuestPorts) {
        for (unsigned offset = 0; offset < 3; ++offset)
            EXPECT_EQ(backend.os.MethodFor(std::uint16_t(p.Base + offset)), how);
        ExpectEmulatedAnswers(backend.os, p.Base);
    }
    // Where no port answers, the bus reads 0xFF.
    if (how != Method::Ppdev) {
        EXPECT_EQ(Hex(backend.os.InByte(kNoPort)), Hex(0xFF));
    }
    EXPECT_EQ(backend.log.Lines(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Methods, AsRootByMethod,
                         ::testing::Values(MethodCase{"ppdev", Method::Ppdev},
                                           MethodCase{"devport", Method::DevPort},
                                           MethodCase{"ioperm", Method::PortInstructions}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(AsRoot, PpdevWritesReachTheHardware)
{
    for (const GuestPort& p : kGuestPorts) {
        SCOPED_TRACE(Device(p));
        Backend viaPpdev(Method::Ppdev), raw(Method::DevPort);
        // Input mode with control lines 0x0B, then output mode with the same lines; /dev/port
        // shows the hardware's registers. The emulated control register reads bits 6 and 7
        // set, and the kernel keeps bit 4 (interrupt enable) set while ppdev has the port.
        viaPpdev.os.OutByte(p.Base, 0x3C);
        viaPpdev.os.OutByte(p.Base + 2, 0x2B);
        EXPECT_EQ(Hex(raw.os.InByte(p.Base)), Hex(0xFF));
        EXPECT_EQ(Hex(raw.os.InByte(p.Base + 2)), Hex(0xFB));
        viaPpdev.os.OutByte(p.Base + 2, 0x0B);
        EXPECT_EQ(Hex(raw.os.InByte(p.Base)), Hex(0x3C));
        EXPECT_EQ(Hex(raw.os.InByte(p.Base + 2)), Hex(0xDB));
    }
}

TEST_F(AsRoot, APortIsClaimedFromItsFirstUseToTheEnd)
{
    port::PosixLinuxSys sys;
    for (const GuestPort& p : kGuestPorts) {
        EXPECT_EQ(port::ActiveDriver(sys, p.Number), "");
        {
            Backend backend(Method::Ppdev);
            EXPECT_EQ(port::ActiveDriver(sys, p.Number), "") << "not before its first use";
            backend.os.InByte(p.Base + 1);
            EXPECT_EQ(port::ActiveDriver(sys, p.Number), "ppdev" + std::to_string(p.Number));
        }
        EXPECT_EQ(port::ActiveDriver(sys, p.Number), "") << "released at the end";
    }
}

// The kernel's ports first, by number: the firmware's order, not that of their addresses.
TEST_F(AsRoot, StartupReportListsTheKernelsPortsAndTheWayToEveryAddress)
{
    Backend backend(Method::Ppdev);
    backend.os.ReportPortAccess({0x378, 0x278, 0x3B8, kNoPort});
    EXPECT_EQ(backend.log.Lines(),
              Join(KernelPortLines(), {"tamsel: port 0x378: ppdev (/dev/parport2)",
                                       "tamsel: port 0x278: ppdev (/dev/parport1)",
                                       "tamsel: port 0x3B8: ppdev (/dev/parport0)",
                                       "tamsel: port 0x3BC: /dev/port"}));
}

// The kernel log since the last call, as read from /dev/kmsg.
std::string NewKernelLog(int fd)
{
    std::string text;
    char record[2048];
    for (;;) {
        ssize_t n = read(fd, record, sizeof record);
        if (n > 0)
            text.append(record, std::size_t(n));
        else if (n < 0 && errno == EPIPE)
            continue; // records overwritten meanwhile
        else
            break;
    }
    return text;
}

TEST_F(AsRoot, TheDataDirectionNeverGoesThroughTheControlRequest)
{
    int kmsg = open("/dev/kmsg", O_RDONLY | O_NONBLOCK);
    ASSERT_GE(kmsg, 0);
    lseek(kmsg, 0, SEEK_END);
    {
        Backend backend(Method::Ppdev);
        for (const GuestPort& p : kGuestPorts) {
            backend.os.OutByte(p.Base + 2, 0x20);
            backend.os.OutByte(p.Base + 2, 0x00);
        }
    }
    EXPECT_EQ(NewKernelLog(kmsg).find("data_reverse"), std::string::npos);

    // Counter-check: given the direction bit, the control request does warn.
    int fd = open("/dev/parport2", O_RDWR);
    ASSERT_GE(fd, 0);
    unsigned char lines = 0x20;
    int forward = 0;
    EXPECT_EQ(ioctl(fd, PPCLAIM), 0);
    EXPECT_EQ(ioctl(fd, PPWCONTROL, &lines), 0);
    EXPECT_EQ(ioctl(fd, PPDATADIR, &forward), 0);
    EXPECT_EQ(ioctl(fd, PPRELEASE), 0);
    close(fd);
    EXPECT_NE(NewKernelLog(kmsg).find("data_reverse"), std::string::npos);
    close(kmsg);
}

TEST_F(AsLpMember, EveryKernelPortThroughPpdevAndNoOtherAddress)
{
    Backend backend(Method::Ppdev);
    backend.os.ReportPortAccess({0x378, 0x278, 0x3B8, kNoPort});
    EXPECT_EQ(backend.log.Lines(),
              Join(Join(KernelPortLines(), {"tamsel: port 0x378: ppdev (/dev/parport2)",
                                            "tamsel: port 0x278: ppdev (/dev/parport1)",
                                            "tamsel: port 0x3B8: ppdev (/dev/parport0)"}),
                   kRawRefusal));
    for (const GuestPort& p : kGuestPorts)
        ExpectEmulatedAnswers(backend.os, p.Base);
    EXPECT_THROW(backend.os.InByte(kNoPort), port::PortAccessError);
    EXPECT_THROW(backend.os.OutByte(kNoPort, 0x55), port::PortAccessError);
}

// Another program holding /dev/parport2: seen when tamsel looks, it is refused without a
// claim; taken unseen between the look and the claim, the claim gives up after its wait; held
// exclusively, the kernel refuses the claim at once. The port serves again once let go. Only the
// claim that waits takes a second or more; no upper bound is judged, since an emulated machine on
// a busy host may be late by any amount (a claim never cut short hangs the guest's run instead).
struct HeldCase {
    const char* Name;
    bool SeenAtTheLook;
    bool Exclusive;
    std::vector<std::string> Why;
    long MinMs;
};

TEST_F(AsLpMember, APortAnotherProgramHoldsIsRefusedWithItsReason)
{
    const std::string remedy = "tamsel:   remedy: close the other program that uses "
                               "/dev/parport2 (sudo fuser -v /dev/parport2 names it)";
    const HeldCase cases[] = {
        {"seen", true, false,
         {"tamsel:   reason: parport2 is held by ppdev2 and cannot be claimed",
          remedy + ", then start tamsel again"},
         0},
        {"taken before the claim", false, false,
         {"tamsel:   reason: parport2 is held by another program or driver and was not "
          "released within 1 s",
          remedy + ", then start tamsel again"},
         1000},
        {"exclusive", false, true,
         {"tamsel:   reason: parport2 cannot take another user (No such device or address): "
          "it is gone, or another program or driver holds it exclusively",
          remedy + ", or see whether the kernel still lists parport2 (sudo dmesg | grep "
                   "parport), then start tamsel again"},
         0},
    };
    for (const HeldCase& c : cases) {
        SCOPED_TRACE(c.Name);
        int holder = open("/dev/parport2", O_RDWR);
        ASSERT_GE(holder, 0);
        ASSERT_TRUE(!c.Exclusive || ioctl(holder, PPEXCL) == 0);
        ASSERT_EQ(ioctl(holder, PPCLAIM), 0);
        {
            Backend second(Method::Ppdev, !c.SeenAtTheLook);
            const auto start = std::chrono::steady_clock::now();
            second.os.ReportPortAccess({0x378, 0x278});
            const long ms = long(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count());
            EXPECT_GE(ms, c.MinMs);
            EXPECT_EQ(second.log.Lines(),
                      Join(Join(KernelPortLines(), {"tamsel: port 0x378: no access"}),
                           Join(c.Why, {"tamsel: port 0x278: ppdev (/dev/parport1)"})));
            EXPECT_THROW(second.os.InByte(0x378), port::PortAccessError);
        }
        EXPECT_EQ(ioctl(holder, PPRELEASE), 0);
        close(holder);
        Backend again(Method::Ppdev);
        EXPECT_EQ(again.os.MethodFor(0x378), Method::Ppdev);
    }
}

TEST_F(AsOutsider, EveryPortIsRefusedWithItsReasonAndRemedy)
{
    Backend backend(Method::Ppdev);
    backend.os.ReportPortAccess({0x378, kNoPort});
    EXPECT_EQ(backend.log.Lines(),
              Join(Join(KernelPortLines(),
                        {"tamsel: port 0x378: no access",
                         "tamsel:   reason: /dev/parport2: Permission denied: you are not in "
                         "group lp",
                         "tamsel:   remedy: sudo usermod -aG lp $USER, then log out and back in "
                         "(or run tamsel as root)"}),
                   kRawRefusal));
    EXPECT_THROW(backend.os.InByte(0x378), port::PortAccessError);
}

} // namespace
