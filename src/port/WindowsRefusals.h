#pragma once
// Why the ports cannot be reached on the NT family and what would give access, from how the
// port driver and the port library fared at start-up; and how they are reached when they can.
#include <cstdint>
#include <string>
#include <vector>

#include "OsApi.h"

namespace port {

// Error codes of the driver's start and of the loader.
constexpr std::uint32_t kErrorBadExeFormat = 193;
constexpr std::uint32_t kErrorExeMachineTypeMismatch = 216;
constexpr std::uint32_t kErrorInvalidImageHash = 577;
constexpr std::uint32_t kErrorDriverBlocked = 1275;
constexpr std::uint32_t kCertRevoked = 0x800B010C;

// The refusals when neither way reaches the ports, the driver's first; nothing when one of them
// does. `driverFile`: zlportio.sys is in the program's folder.
std::vector<AccessRefusal> WaysRefusals(bool driverOpen, bool driverFile, std::uint32_t driverCode,
                                        const PortLibrary& library);

// A port that another copy of the program holds.
AccessRefusal HeldByAnotherCopy(std::uint16_t base);

// The way in use, in English, for the start-up report: the driver, or the library (after the
// reason the driver did not start), or none.
std::string WayInUse(bool driverOpen, bool directIo, bool driverFile, std::uint32_t driverCode);

} // namespace port
