#include "CliText.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>

#include "PrivateProfile.h"

namespace cli {

namespace {

// A number in the preferences' forms, within [low, high].
std::optional<std::int32_t> NumberIn(std::string_view text, std::int32_t low, std::int32_t high)
{
    const auto value = ProfileConvertInt(text);
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return value;
}

constexpr std::int64_t kMaxDurationNs = 1'000'000'000'000'000'000; // about 31.7 years

} // namespace

std::optional<std::uint16_t> ParseAddress(std::string_view text)
{
    const auto value = NumberIn(text, 1, kLastBase);
    return value ? std::optional<std::uint16_t>(std::uint16_t(*value)) : std::nullopt;
}

int ParseLptName(std::string_view text)
{
    if (text.size() != 4 || text[3] < '1' || text[3] > '8')
        return 0;
    for (std::size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != "LPT"[i])
            return 0;
    return text[3] - '0';
}

std::optional<std::uint8_t> ParseByte(std::string_view text)
{
    const auto value = NumberIn(text, 0, 255);
    return value ? std::optional<std::uint8_t>(std::uint8_t(*value)) : std::nullopt;
}

std::optional<bool> ParseLevel(std::string_view text)
{
    if (text == "0" || text == "1")
        return text == "1";
    return std::nullopt;
}

std::optional<std::chrono::nanoseconds> ParseDuration(std::string_view text)
{
    struct Unit {
        std::string_view Name;
        std::int64_t Ns;
    };
    static constexpr Unit kUnits[] = {{"ns", 1},           {"us", 1'000},
                                      {"ms", 1'000'000},   {"s", 1'000'000'000},
                                      {"m", 60'000'000'000}, {"h", 3'600'000'000'000}};
    std::size_t digitsEnd = 0;
    while (digitsEnd < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[digitsEnd])) || text[digitsEnd] == '.'))
        ++digitsEnd;
    const std::string_view number = text.substr(0, digitsEnd);
    const std::string_view unitName = text.substr(digitsEnd);
    const std::size_t point = number.find('.');
    const std::string_view whole = number.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : number.substr(point + 1);
    if (whole.empty() || fraction.find('.') != std::string_view::npos ||
        (point != std::string_view::npos && fraction.empty()))
        return std::nullopt;

    std::int64_t unit = 0;
    for (const Unit& u : kUnits)
        if (u.Name == unitName || (unitName.empty() && u.Name == "s"))
            unit = u.Ns;
    if (unit == 0)
        return std::nullopt;

    std::int64_t ns = 0;
    for (char c : whole) {
        const std::int64_t digit = c - '0';
        if (ns > (kMaxDurationNs / unit - digit) / 10)
            return std::nullopt;
        ns = ns * 10 + digit;
    }
    ns *= unit;
    // Each digit after the point counts a tenth of the one before; below a nanosecond it is cut.
    std::int64_t scale = unit;
    for (char c : fraction) {
        scale /= 10;
        ns += (c - '0') * scale;
    }
    if (ns <= 0)
        return std::nullopt;
    return std::chrono::nanoseconds(ns);
}

int SecondsInto(char* text, std::size_t size, std::int64_t ns)
{
    return std::snprintf(text, size, "%" PRId64 ".%09" PRId64, ns / 1'000'000'000,
                         ns % 1'000'000'000);
}

std::string Seconds(std::int64_t ns)
{
    char text[kSecondsSize];
    SecondsInto(text, sizeof text, ns);
    return text;
}

std::string HumanDuration(std::int64_t ns)
{
    char text[48];
    if (ns < 1'000)
        std::snprintf(text, sizeof text, "%" PRId64 " ns", ns);
    else if (ns < 1'000'000)
        std::snprintf(text, sizeof text, "%.3f us", double(ns) / 1e3);
    else if (ns < 1'000'000'000)
        std::snprintf(text, sizeof text, "%.3f ms", double(ns) / 1e6);
    else
        std::snprintf(text, sizeof text, "%.3f s", double(ns) / 1e9);
    return text;
}

} // namespace cli
