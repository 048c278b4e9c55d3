#pragma once
// What the guest that run-guest.sh boots offers, as the real-kernel checks expect it: three
// emulated ports driven by parport_pc and ppdev, numbered by the kernel in the order the
// firmware lists them, which is not the order of their addresses.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "../fixtures/Captured.h"

struct GuestPort {
    std::uint16_t Base;
    int Number; // of /dev/parportN
};
constexpr GuestPort kGuestPorts[] = {{0x378, 2}, {0x278, 1}, {0x3B8, 0}};
// No emulated port can sit here (its registers would all read 0xFF), so no kernel port does.
constexpr std::uint16_t kNoPort = 0x3BC;

inline std::string Device(const GuestPort& p) { return "/dev/parport" + std::to_string(p.Number); }

// The start-up report's lines that list the kernel's ports, by number.
inline std::vector<std::string> KernelPortLines()
{
    std::vector<GuestPort> ports(std::begin(kGuestPorts), std::end(kGuestPorts));
    std::sort(ports.begin(), ports.end(),
              [](const GuestPort& a, const GuestPort& b) { return a.Number < b.Number; });
    std::vector<std::string> lines;
    for (const GuestPort& p : ports) {
        char base[8];
        std::snprintf(base, sizeof base, "0x%03X", unsigned(p.Base));
        lines.push_back("tamsel: kernel parallel port parport" + std::to_string(p.Number) + " at " +
                        base + ", " + Device(p) + ", modes PCSPP,TRISTATE");
    }
    return lines;
}

// This program's path as the program itself finds it: the kernel's link, not made canonical,
// which would need the right to search every folder on the way. Empty when it cannot be read.
inline std::string SelfPath()
{
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

// The report's lines for an address no kernel port covers, for a user without root.
inline std::vector<std::string> RawRefusalLines(const std::string& address)
{
    return {"tamsel: port " + address + ": no access",
            "tamsel:   reason: raw port I/O needs root or CAP_SYS_RAWIO (/dev/port: Permission "
            "denied; ioperm: Operation not permitted)",
            "tamsel:   remedy: run tamsel as root, or once: sudo setcap cap_sys_rawio+ep " +
                SelfPath()};
}

inline std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
