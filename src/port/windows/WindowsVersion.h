#pragma once
// Reading the version record of an executable (product version, copyright, comments for the
// about window) with the system's version-information functions.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace port {

// The string block to read: the first language and code page of the translation table, as four
// upper-case hexadecimal digits each; "040904E4" (U.S. English, code page 1252) without one.
std::string VersionBlockName(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& translations);

// The value of one key of the string block of the version record of the file at the UTF-8
// path, as UTF-8; nullopt when the file has no version record or the block lacks the key.
std::optional<std::string> ReadVersionValue(const std::string& path, const std::string& key);
// The same from the running executable's own record.
std::optional<std::string> ReadOwnVersionValue(const std::string& key);

} // namespace port
