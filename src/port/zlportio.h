#pragma once
// The port I/O client: reads and writes one I/O port at a width of 8, 16 or 32 bits, through the
// kernel driver "zlportio" on the NT family (one device I/O control request per access) or
// through the processor's port instructions elsewhere (direct mode).
#include <array>
#include <cstdint>

#include "OsApi.h"

// Width code of a port access; any other value makes a direct access do nothing.
using PortIoWidth = std::int32_t;
constexpr PortIoWidth pwByte = 0;
constexpr PortIoWidth pwWord = 1;
constexpr PortIoWidth pwDword = 2;

constexpr const char* kDriverName = "zlportio";
constexpr const char* kDriverFileExt = ".sys";
constexpr const char* kDeviceName = "\\\\.\\ZLPORTIO";
constexpr std::uint32_t kPortIoDeviceType = 0x80FF;
constexpr std::size_t kMaxDriverPath = 255;

// The 12-byte request of both I/O control requests, little-endian on the wire.
struct PortRequest {
    std::uint32_t Port = 0;
    std::int32_t Width = 0;
    std::uint32_t Value = 0;
};
constexpr std::size_t kPortRequestSize = 12;
constexpr std::size_t kPortReplySize = 4;
std::array<std::uint8_t, kPortRequestSize> EncodePortRequest(const PortRequest& request);
PortRequest DecodePortRequest(const std::uint8_t* bytes);

// Module state, set by PortIoStartup and unchanged afterwards.
extern port::Handle DeviceHandle;
extern std::uint32_t IoctlPortRead;
extern std::uint32_t IoctlPortWrite;
extern bool DriverOpen;
extern bool DirectIo;
// How the ways to the ports fared at start-up on the NT family: the driver's code (0 when it
// started or was reachable; otherwise the first refusal of administrator rights, else the code
// of its start, else of its device open), and the port library, tried when the driver failed.
extern std::uint32_t DriverStartCode;
extern port::PortLibrary PortLib;

std::uint32_t PortCtlCode(std::uint32_t deviceType, std::uint32_t function, std::uint32_t method,
                          std::uint32_t access);

std::uint32_t PortRead(std::uint32_t port, PortIoWidth width);
void PortWrite(std::uint32_t port, PortIoWidth width, std::uint32_t value);

void PortIoStartup();
void PortIoShutdown();
void DriverStopRemove();
bool DeviceOpen(port::Handle& handle);
bool DriverStart();

// Returns the module state to its values at program load, for tests that start it again.
void PortIoReset();
