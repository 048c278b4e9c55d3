// The integer conversions of the preferences and the options dialog: no crash, and a decimal
// text that converts writes back to the same value.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "PrivateProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto value = ProfileConvertInt(text);
    (void)ProfileIntFromText(text, 0);
    (void)ProfileBoolFromText(text, true);
    if (value && ProfileConvertInt(ProfileIntToText(*value)) != value)
        std::abort();
    return 0;
}
