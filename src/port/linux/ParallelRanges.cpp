#include "ParallelRanges.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

namespace port {

namespace {

constexpr std::uint16_t kLegacyBases[] = {0x378, 0x278, 0x3BC};
constexpr std::uint32_t kLastIoAddress = 0xFFFF;
constexpr std::uint32_t kPciClassParallel = 0x0701;    // class and subclass, without prog-if
constexpr std::uint64_t kResourceIo = 0x100;           // the kernel's IORESOURCE_IO flag

void AddRange(std::vector<IoRange>& ranges, std::uint32_t first, std::uint32_t last)
{
    if (first > kLastIoAddress || last < first)
        return;
    ranges.push_back({first, last < kLastIoAddress ? last : kLastIoAddress});
}

void AddPortBase(std::vector<IoRange>& ranges, std::uint32_t base)
{
    for (const IoRange& registers : PortRegisters(base))
        AddRange(ranges, registers.First, registers.Last);
}

constexpr std::string_view kBlanks = " \t\r\n";

// The next blank-separated word of text, consumed.
std::string_view TakeWord(std::string_view& text)
{
    const auto begin = text.find_first_not_of(kBlanks);
    if (begin == std::string_view::npos) {
        text = {};
        return {};
    }
    text.remove_prefix(begin);
    const auto end = std::min(text.find_first_of(kBlanks), text.size());
    std::string_view word = text.substr(0, end);
    text.remove_prefix(end);
    return word;
}

// "0x070100" -> 0x070100; nothing unless the whole word is one hexadecimal number after "0x".
std::optional<std::uint64_t> ParseHex(std::string_view word)
{
    if (word.size() < 3 || word[0] != '0' || (word[1] != 'x' && word[1] != 'X'))
        return std::nullopt;
    word.remove_prefix(2);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
    if (error != std::errc() || end != word.data() + word.size())
        return std::nullopt;
    return value;
}

// The I/O windows of one PCI device's "resource" file: one line per region, its first and last
// address and its flags, each in hexadecimal; unused regions are all zero.
void AddPciIoRanges(std::vector<IoRange>& ranges, std::string_view resource)
{
    while (!resource.empty()) {
        const auto eol = std::min(resource.find('\n'), resource.size());
        std::string_view line = resource.substr(0, eol);
        resource.remove_prefix(eol == resource.size() ? eol : eol + 1);
        const auto start = ParseHex(TakeWord(line));
        const auto end = ParseHex(TakeWord(line));
        const auto flags = ParseHex(TakeWord(line));
        if (!start || !end || !flags || (*flags & kResourceIo) == 0 || *start == 0 ||
            *start > kLastIoAddress)
            continue;
        AddRange(ranges, std::uint32_t(*start),
                 std::uint32_t(std::min<std::uint64_t>(*end, kLastIoAddress)));
    }
}

} // namespace

std::vector<IoRange> PortRegisters(std::uint32_t base)
{
    return {{base, base + 7}, {base + 0x400, base + 0x402}};
}

std::vector<IoRange> ParallelPortRanges(LinuxSys& sys, const std::string& procDir,
                                        const std::string& pciDir)
{
    std::vector<IoRange> ranges;
    for (std::uint16_t base : kLegacyBases)
        AddPortBase(ranges, base);
    for (const KernelPort& port : DiscoverKernelPorts(sys, procDir))
        if (port.Base != 0)
            AddPortBase(ranges, port.Base);
    for (const std::string& device : sys.ListDir(pciDir)) {
        const std::string dir = pciDir + "/" + device;
        const auto classText = sys.ReadText(dir + "/class");
        std::string_view text = classText ? std::string_view(*classText) : std::string_view();
        const auto deviceClass = ParseHex(TakeWord(text));
        if (!deviceClass || (*deviceClass >> 8) != kPciClassParallel)
            continue;
        if (const auto resource = sys.ReadText(dir + "/resource"))
            AddPciIoRanges(ranges, *resource);
    }
    return ranges;
}

bool InRanges(const std::vector<IoRange>& ranges, std::uint32_t address)
{
    for (const IoRange& range : ranges)
        if (address >= range.First && address <= range.Last)
            return true;
    return false;
}

bool RunIsRaised(LinuxSys& sys) { return sys.SecureExecution() && sys.RealUserId() != 0; }

} // namespace port
