#include "LinuxOs.h"

#include "ThreadAlarm.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace port {

namespace {

constexpr std::uint8_t kControlDirection = 0x20; // data lines are inputs
constexpr std::uint8_t kControlLines = 0x0F;     // Strobe, AutoFeed, Init, Select-in

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%03X", unsigned(value));
    return text;
}

std::string ErrorText(int error) { return std::strerror(error); }

} // namespace

LinuxOs::LinuxOs(std::FILE* diagnostics, const std::string& program)
    : ownSys_(std::make_unique<PosixLinuxSys>()), sys_(*ownSys_), diagnostics_(diagnostics),
      program_(program), prefix_(program + ": "), reason_(prefix_ + "  reason: "),
      remedy_(prefix_ + "  remedy: "), raised_(RunIsRaised(sys_))
{
}

LinuxOs::LinuxOs(LinuxSys& sys, std::FILE* diagnostics, const std::string& program)
    : sys_(sys), diagnostics_(diagnostics), program_(program), prefix_(program + ": "),
      reason_(prefix_ + "  reason: "), remedy_(prefix_ + "  remedy: "), raised_(RunIsRaised(sys_))
{
}

LinuxOs::~LinuxOs()
{
    // The kernel would release a claimed port when the descriptor closes at exit anyway; doing
    // it here keeps the release in one known place.
    for (Channel& channel : channels_) {
        if (channel.Fd < 0)
            continue;
        if (channel.Status == Channel::State::Claimed)
            sys_.Ioctl(channel.Fd, PPRELEASE, nullptr);
        sys_.Close(channel.Fd);
        channel.Fd = -1;
    }
    if (devPortFd_ >= 0)
        sys_.Close(devPortFd_);
}

std::string LinuxOs::ExecutablePath()
{
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    return std::string(buffer, std::size_t(n));
}

void LinuxOs::Discover()
{
    if (discovered_)
        return;
    discovered_ = true;
    for (KernelPort& port : DiscoverKernelPorts(sys_)) {
        Channel channel;
        channel.Port = std::move(port);
        channels_.push_back(std::move(channel));
    }
    if (raised_)
        parallel_ = ParallelPortRanges(sys_);
}

LinuxOs::Channel* LinuxOs::ChannelCovering(std::uint32_t address)
{
    for (Channel& channel : channels_)
        if (channel.Port.Covers(address))
            return &channel;
    return nullptr;
}

void LinuxOs::OpenChannel(Channel& channel)
{
    using Refusal = Channel::Refusal;
    if (channel.Status != Channel::State::Untried)
        return;
    channel.Status = Channel::State::Refused;
    std::optional<ThreadAlarm> alarm;
    std::chrono::steady_clock::time_point deadline;
    for (;;) {
        int fd = sys_.Open(channel.Port.Device, O_RDWR);
        if (fd < 0) {
            channel.Why = Refusal::Open;
            channel.Error = -fd;
            return;
        }
        // A claim of a port that another driver holds sleeps until the holder lets go, and
        // every other ppdev request in the system waits with it: such a port is refused
        // without asking. One taken between this look and the claim is what the alarm bounds.
        channel.Holder = ActiveDriver(sys_, channel.Port.Number);
        if (!channel.Holder.empty()) {
            sys_.Close(fd);
            channel.Why = Refusal::Held;
            return;
        }
        if (!alarm) {
            deadline = std::chrono::steady_clock::now() + kClaimWait;
            alarm.emplace(kClaimWait, kClaimWait / 10);
        }
        int result = sys_.Ioctl(fd, PPCLAIM, nullptr);
        if (result == 0) {
            channel.Fd = fd;
            channel.Status = Channel::State::Claimed;
            return;
        }
        // A claim cut short stays queued in the kernel until its descriptor closes, and asking
        // again on that descriptor would queue it twice: a new claim takes a new descriptor.
        sys_.Close(fd);
        bool early = result == -EINTR && std::chrono::steady_clock::now() < deadline;
        if (!early) {
            channel.Why = result == -EINTR ? Refusal::Slept : Refusal::Claim;
            channel.Error = -result;
            channel.Holder = ActiveDriver(sys_, channel.Port.Number);
            return;
        }
    }
}

bool LinuxOs::OpenDevPort()
{
    if (!devPortTried_) {
        devPortTried_ = true;
        int fd = sys_.Open("/dev/port", O_RDWR);
        if (fd >= 0)
            devPortFd_ = fd;
        else
            devPortError_ = -fd;
    }
    return devPortFd_ >= 0;
}

bool LinuxOs::GrantPort(std::uint16_t address)
{
    if (granted_.test(address))
        return true;
    // A refusal comes from missing privileges or a locked-down kernel, which hold for the
    // whole run: once refused, ioperm is not asked again.
    if (iopermError_ != 0)
        return false;
    if (!sys_.HasPortInstructions()) {
        iopermError_ = ENOSYS;
        return false;
    }
    int result = sys_.Ioperm(address, 1, 1);
    if (result < 0) {
        iopermError_ = -result;
        return false;
    }
    granted_.set(address);
    return true;
}

LinuxOs::Route LinuxOs::RouteFor(std::uint32_t address)
{
    Discover();
    Channel* channel = ChannelCovering(address);
    if (channel != nullptr) {
        OpenChannel(*channel);
        if (channel->Status == Channel::State::Claimed)
            return {Method::Ppdev, channel};
        if (channel->Status == Channel::State::Lost)
            return {Method::None, channel};
    }
    if (address > 0xFFFF)
        return {Method::None, channel};
    if (raised_ && !InRanges(parallel_, address))
        return {Method::None, channel, true};
    if (OpenDevPort())
        return {Method::DevPort, channel};
    if (GrantPort(std::uint16_t(address)))
        return {Method::PortInstructions, channel};
    return {Method::None, channel};
}

LinuxOs::Method LinuxOs::MethodFor(std::uint16_t address) { return RouteFor(address).How; }

void LinuxOs::PpIoctl(Channel& channel, unsigned long request, void* argument)
{
    int result = sys_.Ioctl(channel.Fd, request, argument);
    if (result >= 0)
        return;
    int error = -result;
    if (error == ENODEV || error == ENXIO || error == EIO) {
        // The port went away (a USB adapter unplugged): it stays unusable for this run.
        channel.Status = Channel::State::Lost;
        channel.Error = error;
        Say(prefix_ + channel.Port.Device + " stopped answering (" + ErrorText(error) +
            "): its registers read 0 until " + program_ + " is started again");
    }
    throw PortAccessError(channel.Port.Device + ": " + ErrorText(error));
}

std::uint8_t LinuxOs::PpRead(Channel& channel, unsigned offset)
{
    unsigned char value = 0;
    switch (offset) {
    case 0: PpIoctl(channel, PPRDATA, &value); break;
    case 1: PpIoctl(channel, PPRSTATUS, &value); break; // raw: Busy reads inverted
    default:
        // The control register as last written, direction bit included; before any write,
        // the control lines as the kernel has them.
        if (channel.Control)
            return *channel.Control;
        PpIoctl(channel, PPRCONTROL, &value);
        break;
    }
    return value;
}

void LinuxOs::PpWrite(Channel& channel, unsigned offset, std::uint8_t value)
{
    switch (offset) {
    case 0: {
        unsigned char data = value;
        PpIoctl(channel, PPWDATA, &data);
        break;
    }
    case 1:
        // The status register cannot be written; the hardware ignores such a write too.
        break;
    default: {
        // The direction bit goes through its own request, both ways; the control request
        // takes the four control lines only (given the direction bit it would switch to input
        // but never back, and log a kernel warning).
        int reverse = (value & kControlDirection) != 0 ? 1 : 0;
        PpIoctl(channel, PPDATADIR, &reverse);
        unsigned char lines = value & kControlLines;
        PpIoctl(channel, PPWCONTROL, &lines);
        channel.Control = value;
        break;
    }
    }
}

void LinuxOs::Refuse(std::uint32_t address, const std::string& what)
{
    if (address <= 0xFFFF) {
        // Said at the first refusal unless the start-up report said it already, under a line
        // naming the port refused: the kernel port's base, or else the address itself.
        Route route = RouteFor(address);
        if (std::optional<AccessRefusal> refusal = Explain(route, address)) {
            if (!Said(reason_ + refusal->English.Reason))
                Say(prefix_ + "port " + Hex(route.Via ? route.Via->Port.Base : address) +
                    ": no access");
            SayRefusal(*refusal);
        }
    }
    throw PortAccessError("I/O port " + Hex(address) + ": " + what);
}

std::uint8_t LinuxOs::ReadByte(std::uint32_t address)
{
    Route route = RouteFor(address);
    switch (route.How) {
    case Method::Ppdev: return PpRead(*route.Via, address - route.Via->Port.Base);
    case Method::DevPort: {
        unsigned char value = 0;
        long n = sys_.Pread(devPortFd_, &value, 1, long(address));
        if (n != 1)
            throw PortAccessError("/dev/port read at " + Hex(address) + ": " +
                                  ErrorText(n < 0 ? int(-n) : EIO));
        return value;
    }
    case Method::PortInstructions: return sys_.InByte(std::uint16_t(address));
    case Method::None: break;
    }
    Refuse(address, "no access");
}

void LinuxOs::WriteByte(std::uint32_t address, std::uint8_t value)
{
    Route route = RouteFor(address);
    switch (route.How) {
    case Method::Ppdev: PpWrite(*route.Via, address - route.Via->Port.Base, value); return;
    case Method::DevPort: {
        long n = sys_.Pwrite(devPortFd_, &value, 1, long(address));
        if (n != 1)
            throw PortAccessError("/dev/port write at " + Hex(address) + ": " +
                                  ErrorText(n < 0 ? int(-n) : EIO));
        return;
    }
    case Method::PortInstructions: sys_.OutByte(std::uint16_t(address), value); return;
    case Method::None: break;
    }
    Refuse(address, "no access");
}

std::uint8_t LinuxOs::InByte(std::uint16_t p) { return ReadByte(p); }

std::uint16_t LinuxOs::InWord(std::uint16_t p)
{
    std::uint16_t low = ReadByte(p);
    return std::uint16_t(low | (ReadByte(p + 1u) << 8));
}

std::uint32_t LinuxOs::InDword(std::uint16_t p)
{
    std::uint32_t value = 0;
    for (unsigned i = 0; i < 4; ++i)
        value |= std::uint32_t(ReadByte(p + i)) << (8 * i);
    return value;
}

void LinuxOs::OutByte(std::uint16_t p, std::uint8_t v) { WriteByte(p, v); }

void LinuxOs::OutWord(std::uint16_t p, std::uint16_t v)
{
    WriteByte(p, std::uint8_t(v));
    WriteByte(p + 1u, std::uint8_t(v >> 8));
}

void LinuxOs::OutDword(std::uint16_t p, std::uint32_t v)
{
    for (unsigned i = 0; i < 4; ++i)
        WriteByte(p + i, std::uint8_t(v >> (8 * i)));
}

std::string LinuxOs::Describe(const Route& route) const
{
    switch (route.How) {
    case Method::Ppdev: return "ppdev (" + route.Via->Port.Device + ")";
    case Method::DevPort: return "/dev/port";
    case Method::PortInstructions: return "port instructions (ioperm)";
    case Method::None: break;
    }
    return "no access";
}

AccessRefusal LinuxOs::ExplainChannel(const Channel& channel)
{
    using Refusal = Channel::Refusal;
    using Reason = RefusalReason;
    using Remedy = RefusalRemedy;
    const KernelPort& port = channel.Port;
    const int error = channel.Error;
    RefusalValues values{{"device", Both(port.Device)},
                         {"port", Both("parport" + std::to_string(port.Number))},
                         {"program", Both(program_)},
                         {"error", ErrnoText(error)}};
    if (channel.Status == Channel::State::Lost)
        return MakeRefusal(Reason::Gone, Remedy::Reconnect, values);
    switch (channel.Why) {
    case Refusal::Open:
        if (error == EACCES || error == EPERM)
            return MakeRefusal(Reason::NotInGroupLp, Remedy::JoinGroupLp, values);
        if (error == ENOENT || error == ENODEV || error == ENXIO)
            return MakeRefusal(Reason::PpdevNotLoaded, Remedy::LoadPpdev, values);
        return MakeRefusal(Reason::DeviceFailed, Remedy::AskKernel, values);
    case Refusal::Held:
    case Refusal::Slept: {
        const std::string& holder = channel.Holder;
        values["holder"] = HolderText(holder);
        values["wait"] = Both(std::to_string(kClaimWait.count() / 1000) + " s");
        const Reason reason = channel.Why == Refusal::Held ? Reason::Held : Reason::HeldTooLong;
        if (holder == "lp")
            return MakeRefusal(reason, Remedy::RemoveLp, values);
        if (holder.empty() || holder.rfind("ppdev", 0) == 0)
            return MakeRefusal(reason, Remedy::CloseOther, values);
        return MakeRefusal(reason, Remedy::RemoveDriver, values);
    }
    case Refusal::Claim:
        break;
    }
    // ENXIO: the kernel could not register the program as a user of the port: the port is no
    // longer there, or a device that wants it alone is registered on it.
    if (error == ENXIO)
        return MakeRefusal(Reason::Exclusive, Remedy::CloseOtherOrAskKernel, values);
    return MakeRefusal(Reason::ClaimFailed, Remedy::AskKernel, values);
}

AccessRefusal LinuxOs::ExplainRaw(std::uint32_t address)
{
    using Reason = RefusalReason;
    using Remedy = RefusalRemedy;
    RefusalValues values{{"program", Both(program_)},
                         {"devport", ErrnoText(devPortError_)},
                         {"ioperm", ErrnoText(iopermError_)}};
    const std::string lockdown = ActiveLockdown(sys_.ReadText(kLockdownFile));
    if (!lockdown.empty()) {
        values["lockdown"] = Both(lockdown);
        values["file"] = Both(kLockdownFile);
        return MakeRefusal(Reason::LockedDown, Remedy::UseKernelPort, values);
    }
    // /dev/port that does not exist and ioperm that the kernel lacks: no rights would help.
    const bool noDevPort = devPortError_ == ENOENT || devPortError_ == ENODEV ||
                           devPortError_ == ENXIO;
    if (!sys_.HasPortInstructions())
        return MakeRefusal(Reason::NoPortInstructions, Remedy::UseKernelPort, values);
    if (noDevPort && iopermError_ == ENOSYS)
        return MakeRefusal(Reason::NoRawAccess, Remedy::UseKernelPort, values);
    for (const Channel& channel : channels_) {
        if (channel.Port.Base != 0 && InRanges(PortRegisters(channel.Port.Base), address)) {
            values["port"] = Both("parport" + std::to_string(channel.Port.Number));
            values["base"] = Both(Hex(channel.Port.Base));
            return MakeRefusal(Reason::NeedsRights, Remedy::KernelPortThroughPpdev, values);
        }
    }
    const std::string self = ExecutablePath();
    values["path"] = Both(self.empty() ? program_ : self);
    return MakeRefusal(Reason::NeedsRights, Remedy::RootOrCapability, values);
}

std::optional<AccessRefusal> LinuxOs::Explain(const Route& route, std::uint32_t address)
{
    if (route.How != Method::None)
        return std::nullopt;
    if (route.Via != nullptr && route.Via->Status != Channel::State::Claimed)
        return ExplainChannel(*route.Via);
    if (route.NotParallel)
        return MakeRefusal(RefusalReason::NotParallel, RefusalRemedy::RunAsRoot,
                           {{"program", Both(program_)}});
    return ExplainRaw(address);
}

std::vector<AccessRefusal> LinuxOs::RefusalsAt(std::uint16_t base)
{
    std::vector<AccessRefusal> refusals;
    for (std::uint32_t a = base; a <= base + 2u && a <= 0xFFFF; ++a) {
        std::optional<AccessRefusal> refusal = Explain(RouteFor(a), a);
        if (!refusal)
            continue;
        bool known = false;
        for (const AccessRefusal& r : refusals)
            known = known || r.English.Reason == refusal->English.Reason;
        if (!known)
            refusals.push_back(std::move(*refusal));
    }
    return refusals;
}

void LinuxOs::Say(const std::string& line)
{
    if (!said_.insert(line).second || diagnostics_ == nullptr)
        return;
    std::fprintf(diagnostics_, "%s\n", line.c_str());
    std::fflush(diagnostics_);
}

void LinuxOs::SayRefusal(const AccessRefusal& refusal)
{
    Say(reason_ + refusal.English.Reason);
    Say(remedy_ + refusal.English.Remedy);
}

void LinuxOs::ReportPortAccess(const std::vector<std::uint16_t>& addresses)
{
    Discover();
    if (channels_.empty())
        Say(prefix_ + std::string("no kernel parallel port (") + kParportProcDir +
            " lists none)");
    for (const Channel& channel : channels_) {
        const KernelPort& port = channel.Port;
        std::string line = prefix_ + std::string("kernel parallel port parport") +
                           std::to_string(port.Number);
        if (port.Base == 0)
            line += " without an I/O address";
        else
            line += " at " + Hex(port.Base);
        if (port.BaseHi != 0)
            line += " (ECP " + Hex(port.BaseHi) + ")";
        line += ", " + port.Device;
        if (port.ModesKnown)
            line += ", modes " + port.Modes;
        Say(line);
    }

    std::set<std::uint16_t> seen;
    for (std::uint16_t base : addresses) {
        if (base == 0 || !seen.insert(base).second)
            continue;
        std::vector<std::pair<std::uint32_t, Route>> routes;
        for (std::uint32_t a = base; a <= base + 2u && a <= 0xFFFF; ++a)
            routes.emplace_back(a, RouteFor(a));
        bool same = true;
        for (const auto& [a, route] : routes)
            same = same && Describe(route) == Describe(routes.front().second);
        std::string line = prefix_ + std::string("port ") + Hex(base) + ": ";
        if (same) {
            line += Describe(routes.front().second);
        } else {
            for (std::size_t i = 0; i < routes.size(); ++i)
                line += (i ? ", " : "") + Hex(routes[i].first) + " " +
                        Describe(routes[i].second);
        }
        Say(line);
        for (const auto& [a, route] : routes)
            if (std::optional<AccessRefusal> refusal = Explain(route, a))
                SayRefusal(*refusal);
        Channel* data = ChannelCovering(base);
        if (data != nullptr && data->Port.ModesKnown && !data->Port.HasMode("TRISTATE")) {
            std::string name = "parport" + std::to_string(data->Port.Number);
            Say(reason_ + name + " has no TRISTATE in its modes (" + data->Port.Modes +
                "), so input mode cannot work: the data lines read back the last byte written");
            Say(remedy_ + std::string("set the port to PS/2, bidirectional, EPP or ECP mode "
                                      "in the firmware (BIOS) set-up"));
        }
    }
}

} // namespace port
