#pragma once
// What the guest that run-guest.sh boots offers, as the real-kernel checks expect it: three
// emulated ports driven by parport_pc and ppdev, numbered by the kernel in the order the
// firmware lists them, which is not the order of their addresses.
#include <algorithm>
#include <cstdio>
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

// The report's lines for kNoPort, for a user without root: it lies among the registers of
// the kernel's port at 0x3B8, whose ppdev device is the way offered first.
inline std::vector<std::string> RawRefusalLines()
{
    return {"tamsel: port 0x3BC: no access",
            "tamsel:   reason: raw port I/O needs root or CAP_SYS_RAWIO (/dev/port: Permission "
            "denied; ioperm: Operation not permitted)",
            "tamsel:   remedy: reach parport0 at 0x3B8 through ppdev as a member of group lp "
            "(sudo usermod -aG lp $USER, then log out and back in), or run tamsel as root"};
}

inline std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
