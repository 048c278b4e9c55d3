#pragma once
// A scriptable kernel behind port::LinuxSys: files under /proc and /sys, device files that
// open or fail with a chosen errno, one ppdev port whose registers behave like a standard port
// (the data register reads the latch in output mode and 0xFF in input mode), /dev/port and
// ioperm over a bus of bytes, and a log of every ppdev request.
// Its ppdev keeps the kernel's rules: a descriptor must claim the port before any other
// request (EINVAL otherwise, a second claim too); a claim that the kernel cannot register
// fails with ENXIO, never EBUSY; a claim of a port that another driver holds sleeps, for real
// and interruptibly, until the holder lets go or a signal cuts it short (EINTR), and such a
// descriptor must not claim again.
#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <linux/ppdev.h>
#include <map>
#include <set>
#include <string>
#include <sys/ioctl.h>
#include <vector>

#include "LinuxSys.h"

namespace fake {

struct PpCall {
    std::string Name;
    int Value = -1; // the byte or flag passed or returned; -1 for none
    bool operator==(const PpCall&) const = default;
};

class FakeLinuxSys : public port::LinuxSys {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, std::vector<std::string>> dirs;
    std::map<std::string, int> openErrors;       // path -> errno
    std::set<std::string> devices = {"/dev/parport0", "/dev/port"};
    int registerError = 0;                       // the first claim's failure: ENXIO, ENOMEM
    std::string holderAtClaim;                   // a driver that takes the port just before
                                                 // the claim and shows in devices/active
    int heldForMs = -1;                          // how long it keeps the port; -1: for good
    int signalsDuringClaim = 0;                  // claims cut short at once by another signal
    bool lost = false;                           // every ppdev request fails with ENODEV
    int iopermError = 0;
    bool x86 = true;
    int devPortIoError = 0;
    bool secureExecution = false;                // started by a file capability or set-user-id
    unsigned realUid = 1000;

    // ppdev port
    unsigned char latch = 0, status = 0x7F, lines = 0x0B;
    bool reverse = false;
    std::vector<PpCall> pp;
    // /dev/port and port instructions over one bus; an address not set reads 0xFF
    std::map<unsigned, unsigned char> bus;
    std::vector<std::string> raw;                // "pread 0x378", "outb 0x378=0x55", ...
    int iopermCalls = 0;

    // A kernel port parportN at `base` with its /proc entries.
    void AddPort(int n, const std::string& baseAddr, const std::string& modes = "PCSPP,TRISTATE")
    {
        std::string dir = "/proc/sys/dev/parport/parport" + std::to_string(n);
        dirs["/proc/sys/dev/parport"].push_back("parport" + std::to_string(n));
        files[dir + "/base-addr"] = baseAddr;
        files[dir + "/modes"] = modes + "\n";
        files[dir + "/devices/active"] = "none\n";
    }
    // A PCI device under /sys/bus/pci/devices with its class and its region table.
    void AddPciDevice(const std::string& slot, const std::string& cls, const std::string& resource)
    {
        std::string dir = "/sys/bus/pci/devices/" + slot;
        dirs["/sys/bus/pci/devices"].push_back(slot);
        files[dir + "/class"] = cls + "\n";
        files[dir + "/resource"] = resource;
    }
    int Count(const std::string& name) const
    {
        int n = 0;
        for (const PpCall& call : pp)
            n += call.Name == name;
        return n;
    }

    int Open(const std::string& path, int) override
    {
        if (auto it = openErrors.find(path); it != openErrors.end())
            return -it->second;
        if (!devices.count(path))
            return -ENOENT;
        fds_[next_] = path;
        return next_++;
    }
    void Close(int fd) override
    {
        fds_.erase(fd);
        claimed_.erase(fd);
        cutShort_.erase(fd);
    }
    int Ioctl(int fd, unsigned long request, void* arg) override
    {
        auto* byte = static_cast<unsigned char*>(arg);
        auto* flag = static_cast<int*>(arg);
        if (fds_[fd].rfind("/dev/parport", 0) != 0)
            return -ENOTTY;
        const char* name = request == PPCLAIM     ? "PPCLAIM"
                           : request == PPRELEASE ? "PPRELEASE"
                           : request == PPEXCL    ? "PPEXCL"
                           : request == PPRDATA   ? "PPRDATA"
                           : request == PPWDATA   ? "PPWDATA"
                           : request == PPRSTATUS ? "PPRSTATUS"
                           : request == PPRCONTROL ? "PPRCONTROL"
                           : request == PPWCONTROL ? "PPWCONTROL"
                           : request == PPDATADIR ? "PPDATADIR"
                                                  : "other";
        if (lost) {
            pp.push_back({name, -1});
            return -ENODEV;
        }
        if (request == PPCLAIM) {
            pp.push_back({name, -1});
            return Claim(fd);
        }
        if (!claimed_.count(fd) && request != PPEXCL) {
            pp.push_back({name, -1});
            return -EINVAL; // the kernel: claim the port first
        }
        if (request == PPRELEASE)
            claimed_.erase(fd);
        int value = -1;
        if (request == PPRDATA)
            value = *byte = reverse ? 0xFF : latch;
        else if (request == PPWDATA)
            value = latch = *byte;
        else if (request == PPRSTATUS)
            value = *byte = status;
        else if (request == PPRCONTROL)
            value = *byte = lines;
        else if (request == PPWCONTROL)
            value = lines = *byte;
        else if (request == PPDATADIR)
            reverse = (value = *flag) != 0;
        pp.push_back({name, value});
        return 0;
    }
    long Pread(int fd, void* buffer, std::size_t size, long offset) override
    {
        raw.push_back("pread " + Hex(offset));
        if (fds_[fd] != "/dev/port" || size != 1)
            return -EINVAL;
        if (devPortIoError)
            return -devPortIoError;
        *static_cast<unsigned char*>(buffer) = Bus(unsigned(offset));
        return 1;
    }
    long Pwrite(int fd, const void* buffer, std::size_t size, long offset) override
    {
        unsigned char v = *static_cast<const unsigned char*>(buffer);
        raw.push_back("pwrite " + Hex(offset) + "=" + Hex(v));
        if (fds_[fd] != "/dev/port" || size != 1)
            return -EINVAL;
        if (devPortIoError)
            return -devPortIoError;
        bus[unsigned(offset)] = v;
        return 1;
    }
    int Ioperm(unsigned long from, unsigned long count, int on) override
    {
        ++iopermCalls;
        if (!x86 || count != 1 || on != 1)
            return -EINVAL;
        if (iopermError)
            return -iopermError;
        granted_.insert(unsigned(from));
        return 0;
    }
    bool HasPortInstructions() override { return x86; }
    std::uint8_t InByte(std::uint16_t port) override
    {
        raw.push_back(std::string(granted_.count(port) ? "" : "UNGRANTED ") + "inb " + Hex(port));
        return Bus(port);
    }
    void OutByte(std::uint16_t port, std::uint8_t value) override
    {
        raw.push_back(std::string(granted_.count(port) ? "" : "UNGRANTED ") + "outb " +
                      Hex(port) + "=" + Hex(value));
        bus[port] = value;
    }
    std::optional<std::string> ReadText(const std::string& path) override
    {
        auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::vector<std::string> ListDir(const std::string& path) override
    {
        auto it = dirs.find(path);
        return it == dirs.end() ? std::vector<std::string>{} : it->second;
    }
    bool SecureExecution() override { return secureExecution; }
    unsigned RealUserId() override { return realUid; }
    int OpenCount() const { return int(fds_.size()); }

private:
    // A sleep that a signal cuts short, bounded so that a claim nothing interrupts fails the
    // test instead of hanging it.
    static constexpr int kSleepLimitMs = 10000;

    int Claim(int fd)
    {
        if (cutShort_.count(fd))
            ADD_FAILURE() << "a claim cut short was asked again on the same descriptor";
        if (claimed_.count(fd))
            return -EINVAL; // already claimed
        if (registerError != 0)
            return -registerError;
        if (signalsDuringClaim > 0) {
            --signalsDuringClaim;
            cutShort_.insert(fd);
            return -EINTR;
        }
        if (!holderAtClaim.empty()) {
            std::string active = "/proc/sys/dev/parport/parport0/devices/active";
            files[active] = holderAtClaim + "\n";
            int ms = heldForMs < 0 ? kSleepLimitMs : heldForMs;
            timespec left{ms / 1000, long(ms % 1000) * 1000000L};
            if (nanosleep(&left, &left) != 0) {
                cutShort_.insert(fd);
                return -EINTR;
            }
            if (heldForMs < 0) {
                ADD_FAILURE() << "a claim slept " << kSleepLimitMs << " ms, never cut short";
                cutShort_.insert(fd);
                return -EINTR;
            }
            holderAtClaim.clear();
            files[active] = "none\n";
        }
        claimed_.insert(fd);
        return 0;
    }
    static std::string Hex(long v)
    {
        char text[16];
        std::snprintf(text, sizeof text, "0x%lX", v);
        return text;
    }
    unsigned char Bus(unsigned address)
    {
        auto it = bus.find(address);
        return it == bus.end() ? 0xFF : it->second;
    }
    std::map<int, std::string> fds_;
    std::set<int> claimed_, cutShort_;
    std::set<unsigned> granted_;
    int next_ = 3;
};

} // namespace fake
