#include "BenchOs.h"

namespace bench {

// Wider accesses touch consecutive byte addresses, lowest first, as on the ISA bus.
std::uint16_t BenchOs::InWord(std::uint16_t p)
{
    return std::uint16_t(port_.Read(p) | (port_.Read(std::uint16_t(p + 1)) << 8));
}

std::uint32_t BenchOs::InDword(std::uint16_t p)
{
    return std::uint32_t(InWord(p)) | (std::uint32_t(InWord(std::uint16_t(p + 2))) << 16);
}

void BenchOs::OutWord(std::uint16_t p, std::uint16_t v)
{
    port_.Write(p, std::uint8_t(v));
    port_.Write(std::uint16_t(p + 1), std::uint8_t(v >> 8));
}

void BenchOs::OutDword(std::uint16_t p, std::uint32_t v)
{
    OutWord(p, std::uint16_t(v));
    OutWord(std::uint16_t(p + 2), std::uint16_t(v >> 16));
}

} // namespace bench
