#pragma once
// The texts of the command line: port addresses and bytes in the number forms of the preferences
// file and the options dialog, levels and durations; and the forms the tool prints times in.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

// Highest base address: the port's control register, at base + 2, must be an I/O address.
constexpr std::uint16_t kLastBase = 0xFFFD;

// "888", "$378", "0x378", "X378" -> 888. Empty for a text that does not convert, and for an
// address outside 1 to kLastBase (0, which the preferences use for "not searched", included).
std::optional<std::uint16_t> ParseAddress(std::string_view text);
// "LPT1" to "LPT8", in any case -> 1 to 8; 0 for any other text.
int ParseLptName(std::string_view text);
// A byte in the same number forms: 0 to 255.
std::optional<std::uint8_t> ParseByte(std::string_view text);
// A level: "1" (pin high) or "0".
std::optional<bool> ParseLevel(std::string_view text);
// A positive duration: digits with an optional fraction and a unit among ns, us, ms, s, m and h
// ("10s", "250ms", "1.5s"); a bare number is in seconds. At most about 31 years.
std::optional<std::chrono::nanoseconds> ParseDuration(std::string_view text);

// Nanoseconds as seconds with nine decimals: 1234567890 -> "1.234567890".
std::string Seconds(std::int64_t ns);
// The same into text, without allocating; returns its length. kSecondsSize bytes always do.
constexpr std::size_t kSecondsSize = 32;
int SecondsInto(char* text, std::size_t size, std::int64_t ns);
// A duration for people, in the largest unit under it: "850 ns", "1.234 us", "12.500 ms".
std::string HumanDuration(std::int64_t ns);

} // namespace cli
