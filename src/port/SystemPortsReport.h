#pragma once
// The parallel ports that the system's device list names, as lines of the start-up report (in
// English) and of the window's log (in French).
#include <cstdint>
#include <string>
#include <vector>

#include "OsApi.h"

namespace port {

// One line per listed port with its I/O ranges, or one line saying the list holds none; then,
// for each listed port whose base (the start of its first range) is not among the configured
// addresses, a line saying so with the options dialog as the remedy.
std::vector<std::string> SystemPortLines(const std::vector<SystemPort>& ports,
                                         const std::vector<std::uint16_t>& configured,
                                         bool french);

} // namespace port
