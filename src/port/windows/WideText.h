#pragma once
// The program keeps its texts and paths in UTF-8; the system's wide calls take and give UTF-16.
// These convert between the two, and read the running executable's path through the wide call,
// so that a folder named in any script is found whatever the system's code page.
#include <string>
#include <string_view>

namespace port {

std::string Utf8(std::wstring_view text);
std::wstring Wide(std::string_view utf8);

// The running executable's full path; empty when the system cannot give it.
std::wstring ExecutablePathW();

} // namespace port
