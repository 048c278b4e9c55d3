#pragma once
// The kernel's view of its parallel ports, from /proc/sys/dev/parport: one directory parportN
// per port, holding "base-addr" (the base and the ECP base in decimal, "888\t1912"), "modes"
// ("PCSPP,TRISTATE,...") and "devices/active" (the driver that holds the port now, or "none").
// Every file is read defensively: a port whose base cannot be read is left out.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "LinuxSys.h"

namespace port {

constexpr const char* kParportProcDir = "/proc/sys/dev/parport";
constexpr const char* kLockdownFile = "/sys/kernel/security/lockdown";

struct KernelPort {
    int Number = 0;              // N of parportN
    std::uint16_t Base = 0;      // 0: the port has no I/O address (a USB adapter, for one)
    std::uint16_t BaseHi = 0;    // ECP registers, 0 when none
    std::string Device;          // "/dev/parportN"
    std::string Modes;           // as the kernel lists them; empty when unreadable
    bool ModesKnown = false;

    // The data, status and control registers at Base .. Base + 2.
    bool Covers(std::uint32_t address) const
    {
        return Base != 0 && address >= Base && address <= Base + 2u;
    }
    bool HasMode(std::string_view mode) const;
};

struct BaseAddr {
    std::uint32_t Base = 0;
    std::uint32_t BaseHi = 0;
};

// "888\t1912\n" -> {888, 1912}. One or two decimal numbers separated by blanks; anything
// else (signs, letters, a third field, a number beyond 32 bits) gives nothing.
std::optional<BaseAddr> ParseBaseAddr(std::string_view text);

// The ports the kernel drives, ordered by number. A base beyond 0xFFFD (whose registers would
// run past the last I/O address) leaves the port out; an ECP base beyond 0xFFFF reads 0.
std::vector<KernelPort> DiscoverKernelPorts(LinuxSys& sys,
                                            const std::string& procDir = kParportProcDir);

// The driver that holds a port at this moment ("lp", "ppdev0"), or empty when none does or
// the kernel does not say.
std::string ActiveDriver(LinuxSys& sys, int number, const std::string& procDir = kParportProcDir);

// The kernel lockdown mode in force ("integrity", "confidentiality"), or empty when there is
// none or the file cannot be read. The file lists all modes with the active one in brackets.
std::string ActiveLockdown(std::optional<std::string> text);

} // namespace port
