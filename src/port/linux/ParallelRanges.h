#pragma once
// The I/O addresses that belong to the machine's parallel ports. A run whose right to raw port
// I/O came with the program's file (a file capability or set-user-id) rather than from the user
// who started it reaches these addresses and no others, so that the right given for a printer
// port cannot reset the machine or reach the PCI configuration, disk or timer registers.
#include <cstdint>
#include <string>
#include <vector>

#include "LinuxSys.h"
#include "ParportProc.h"

namespace port {

constexpr const char* kPciDevicesDir = "/sys/bus/pci/devices";

struct IoRange {
    std::uint32_t First = 0;
    std::uint32_t Last = 0;
};

// The legacy bases 0x378, 0x278 and 0x3BC and the bases the kernel lists under procDir, each as
// base .. base + 7 and base + 0x400 .. base + 0x402 (the extended registers), then the I/O
// ranges of every PCI device under pciDir whose class is a parallel controller (0x0701xx).
std::vector<IoRange> ParallelPortRanges(LinuxSys& sys, const std::string& procDir = kParportProcDir,
                                        const std::string& pciDir = kPciDevicesDir);

bool InRanges(const std::vector<IoRange>& ranges, std::uint32_t address);

// The registers of a port at `base`: base .. base + 7 and base + 0x400 .. base + 0x402.
std::vector<IoRange> PortRegisters(std::uint32_t base);

// A run is raised when the kernel started it with the secure-execution flag and its real user
// is not root (root reaches every address without the program file's help).
bool RunIsRaised(LinuxSys& sys);

} // namespace port
