#pragma once
// Colours as 32-bit values with red in the low byte, then green, then blue, and the named
// colours that the program's lines, lights and controls use.
#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor MakeColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return TColor(red) | (TColor(green) << 8) | (TColor(blue) << 16);
}
constexpr std::uint8_t ColorRed(TColor c) { return std::uint8_t(c & 0xFF); }
constexpr std::uint8_t ColorGreen(TColor c) { return std::uint8_t((c >> 8) & 0xFF); }
constexpr std::uint8_t ColorBlue(TColor c) { return std::uint8_t((c >> 16) & 0xFF); }

constexpr TColor clBlack = MakeColor(0, 0, 0);
constexpr TColor clMaroon = MakeColor(128, 0, 0);
constexpr TColor clGreen = MakeColor(0, 128, 0);
constexpr TColor clNavy = MakeColor(0, 0, 128);
constexpr TColor clGray = MakeColor(128, 128, 128);
constexpr TColor clSilver = MakeColor(192, 192, 192);
constexpr TColor clRed = MakeColor(255, 0, 0);
constexpr TColor clLime = MakeColor(0, 255, 0);
constexpr TColor clBlue = MakeColor(0, 0, 255);
constexpr TColor clAqua = MakeColor(0, 255, 255);
constexpr TColor clWhite = MakeColor(255, 255, 255);
