#include "uLPT.h"

#include <cstdio>

LptPortTable LptPorts;
std::uint16_t SelectedAddress = 0;
bool PortOpen = false;
bool DriverLoaded = false;
PortIoWidth LptWidth = pwWord;

bool StateBusy = false, StateAck = false, StatePaperEnd = false, StateSelect = false,
     StateError = false;
bool PrevBusy = false, PrevAck = false, PrevPaperEnd = false, PrevSelect = false,
     PrevError = false;

namespace {

LptHost* host = nullptr;

// Register bit for line k from its wanted pin level.
std::uint32_t LineBit(const LptLine& line, bool high)
{
    return (high != line.Inverted) ? (1u << line.Bit) : 0u;
}

} // namespace

bool LptLineLevel(const LptLine& line, std::uint32_t registerValue)
{
    const bool bit = ((registerValue >> line.Bit) & 1) != 0;
    return bit != line.Inverted;
}

LptStatusStates LptDecodeStatus(std::uint32_t status, bool invert)
{
    auto s = [&](int k) { return LptLineLevel(LptLines[std::size_t(k)], status) != invert; };
    return {s(0), s(1), s(2), s(3), s(4)};
}

std::uint32_t LptEncodeControl(bool strobe, bool autoFeed, bool init, bool select)
{
    constexpr std::size_t first = kStatusLineCount + kDataLineCount;
    return LineBit(LptLines[first], strobe) | LineBit(LptLines[first + 1], autoFeed) |
           LineBit(LptLines[first + 2], init) | LineBit(LptLines[first + 3], select);
}

std::uint32_t LptEncodeData(const std::array<bool, kDataLineCount>& on)
{
    std::uint32_t value = 0;
    for (std::size_t n = 0; n < on.size(); ++n)
        value |= LineBit(LptLines[kStatusLineCount + n], on[n]);
    return value;
}

namespace {

// One 32-bit value in a printf form of at most a few digits.
std::string Formatted(const char* format, std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::string LptHexAddress(std::uint32_t address) { return Formatted("%.3X", address); }
std::string LptDecAddress(std::uint32_t address) { return Formatted("%.3u", address); }
std::string LptHex(std::uint32_t value) { return Formatted("%X", value); }
std::string LptHexByte(std::uint32_t value) { return Formatted("%.2X", value); }

void LptSelectAddress(std::uint16_t address)
{
    if (!PortOpen && address != SelectedAddress)
        SelectedAddress = address;
}

std::uint16_t LptSelectedAddress() { return SelectedAddress; }

int LptSelectedIndex()
{
    for (int n = 1; n <= kLptPortCount; ++n)
        if (LptPorts[n].Address == SelectedAddress)
            return n;
    return -1;
}

void LptSetWidth(PortIoWidth width) { LptWidth = width; }

void LptSetHost(LptHost* h) { host = h; }
LptHost* LptGetHost() { return host; }

void LptResetState()
{
    LptPorts = LptPortTable{};
    SelectedAddress = 0;
    PortOpen = false;
    DriverLoaded = false;
    LptWidth = pwWord;
    StateBusy = StateAck = StatePaperEnd = StateSelect = StateError = false;
    PrevBusy = PrevAck = PrevPaperEnd = PrevSelect = PrevError = false;
    host = nullptr;
}
