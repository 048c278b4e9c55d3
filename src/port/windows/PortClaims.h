#pragma once
// One copy of the program at a time on a port: a system-wide named mutex per port address,
// owned from the first time this copy tests the port until it ends. Another copy that asks for
// the same address finds it owned and leaves the port alone.
#include <cstdint>
#include <map>

namespace port {

class PortClaims {
public:
    PortClaims() = default;
    ~PortClaims();
    PortClaims(const PortClaims&) = delete;
    PortClaims& operator=(const PortClaims&) = delete;

    // True when this copy holds the port at `base` (claiming it now if no one does); false
    // when another copy holds it.
    bool Claim(std::uint16_t base);

private:
    std::map<std::uint16_t, void*> held_; // mutex handles, owned by the claiming thread
};

} // namespace port
