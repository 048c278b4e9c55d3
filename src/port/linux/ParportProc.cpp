#include "ParportProc.h"

#include <algorithm>

namespace port {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// A run of decimal digits at the front of s, consumed; nothing when s does not start with one
// or its value does not fit in 32 bits.
std::optional<std::uint32_t> TakeNumber(std::string_view& s)
{
    std::size_t n = 0;
    std::uint64_t value = 0;
    while (n < s.size() && s[n] >= '0' && s[n] <= '9') {
        value = value * 10 + std::uint64_t(s[n] - '0');
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
        ++n;
    }
    if (n == 0)
        return std::nullopt;
    s.remove_prefix(n);
    return std::uint32_t(value);
}

// "parport12" -> 12.
std::optional<int> PortNumber(std::string_view name)
{
    constexpr std::string_view prefix = "parport";
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    name.remove_prefix(prefix.size());
    if (name.size() > 6)
        return std::nullopt;
    auto number = TakeNumber(name);
    if (!number || !name.empty())
        return std::nullopt;
    return int(*number);
}

} // namespace

bool KernelPort::HasMode(std::string_view mode) const
{
    std::string_view rest = Modes;
    while (!rest.empty()) {
        auto comma = rest.find(',');
        if (Trim(rest.substr(0, comma)) == mode)
            return true;
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return false;
}

std::optional<BaseAddr> ParseBaseAddr(std::string_view text)
{
    text = Trim(text);
    auto base = TakeNumber(text);
    if (!base)
        return std::nullopt;
    BaseAddr result{*base, 0};
    if (text.empty())
        return result;
    if (!IsBlank(text.front()))
        return std::nullopt;
    text = Trim(text);
    auto hi = TakeNumber(text);
    if (!hi || !text.empty())
        return std::nullopt;
    result.BaseHi = *hi;
    return result;
}

std::vector<KernelPort> DiscoverKernelPorts(LinuxSys& sys, const std::string& procDir)
{
    std::vector<KernelPort> ports;
    for (const std::string& name : sys.ListDir(procDir)) {
        auto number = PortNumber(name);
        if (!number)
            continue;
        std::string dir = procDir + "/" + name;
        auto text = sys.ReadText(dir + "/base-addr");
        if (!text)
            continue;
        auto addr = ParseBaseAddr(*text);
        if (!addr || addr->Base > 0xFFFD)
            continue;
        KernelPort port;
        port.Number = *number;
        port.Base = std::uint16_t(addr->Base);
        port.BaseHi = addr->BaseHi <= 0xFFFF ? std::uint16_t(addr->BaseHi) : 0;
        port.Device = "/dev/parport" + std::to_string(*number);
        if (auto modes = sys.ReadText(dir + "/modes")) {
            port.Modes = std::string(Trim(*modes));
            port.ModesKnown = true;
        }
        ports.push_back(std::move(port));
    }
    std::sort(ports.begin(), ports.end(),
              [](const KernelPort& a, const KernelPort& b) { return a.Number < b.Number; });
    return ports;
}

std::string ActiveDriver(LinuxSys& sys, int number, const std::string& procDir)
{
    auto text = sys.ReadText(procDir + "/parport" + std::to_string(number) + "/devices/active");
    if (!text)
        return {};
    std::string_view name = Trim(*text);
    auto end = name.find_first_of(" \t\r\n");
    name = name.substr(0, end);
    if (name.empty() || name == "none")
        return {};
    return std::string(name);
}

std::string ActiveLockdown(std::optional<std::string> text)
{
    if (!text)
        return {};
    auto open = text->find('[');
    auto close = open == std::string::npos ? open : text->find(']', open);
    if (close == std::string::npos)
        return {};
    std::string mode = text->substr(open + 1, close - open - 1);
    return mode == "none" ? std::string() : mode;
}

} // namespace port
