#pragma once
// Installing, starting, stopping and removing a kernel-mode driver registered as a service.
// Each operation opens its own connection to the service control manager, does one thing,
// closes every handle it opened and returns 0 or the last error of the first call that failed.
#include <cstdint>

std::uint32_t ServiceInstall(const char* driverPath, const char* serviceName);
std::uint32_t ServiceStart(const char* serviceName);
std::uint32_t ServiceStop(const char* serviceName);
std::uint32_t ServiceRemove(const char* serviceName);
