#pragma once
// One copy of the program at a time on a port: a system-wide named mutex per block of eight
// I/O addresses (a port's registers lie in one), owned from this copy's first access to the
// block, or its first question about it, until the copy ends. Another copy finds the block
// owned and leaves the port alone.
#include <bitset>
#include <cstdint>
#include <vector>

namespace port {

class PortClaims {
public:
    PortClaims() = default;
    ~PortClaims();
    PortClaims(const PortClaims&) = delete;
    PortClaims& operator=(const PortClaims&) = delete;

    // True when this copy holds the block of `address` (claiming it now if no one does); false
    // while another copy holds it.
    bool Claim(std::uint32_t address);

private:
    static constexpr unsigned kBlockShift = 3;
    std::bitset<(0x10000 >> kBlockShift)> ours_;
    std::vector<void*> mutexes_; // owned by the program's one thread
};

} // namespace port
