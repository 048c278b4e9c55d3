#pragma once
// The operating-system calls that the driver service control and the port I/O client make,
// as one small interface. Each executable installs one implementation at start-up (the host's
// real calls, or the simulated bench); tests install a scriptable fake.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace port {

using Handle = std::uintptr_t;
constexpr Handle kNullHandle = 0;                 // what a failed service-manager call returns
constexpr Handle kInvalidHandle = ~Handle(0);     // what a failed device open returns

// Windows constants the design's algorithms pass through the interface.
constexpr std::uint32_t kVerPlatformWin32Nt = 2;
constexpr std::uint32_t kScManagerAllAccess = 0xF003F;
constexpr std::uint32_t kScManagerConnect = 0x0001;
constexpr std::uint32_t kServiceAllAccess = 0xF01FF;
constexpr std::uint32_t kServiceStart = 0x0010;
constexpr std::uint32_t kServiceStop = 0x0020;
constexpr std::uint32_t kServiceKernelDriver = 1;
constexpr std::uint32_t kServiceDemandStart = 3;
constexpr std::uint32_t kServiceErrorNormal = 1;
constexpr std::uint32_t kServiceControlStop = 1;
constexpr std::uint32_t kGenericReadWrite = 0xC0000000;
constexpr std::uint32_t kOpenExisting = 3;
constexpr std::uint32_t kFileAttributeNormal = 0x80;

// Error codes the program and its tests meet.
constexpr std::uint32_t kErrorSuccess = 0;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorAlreadyExists = 183;
constexpr std::uint32_t kErrorServiceAlreadyRunning = 1056;
constexpr std::uint32_t kErrorServiceDoesNotExist = 1060;
constexpr std::uint32_t kErrorServiceNotActive = 1062;
constexpr std::uint32_t kErrorServiceExists = 1073;

// Raised by a port instruction that the platform refuses or cannot perform. The port model's
// line reads and writes catch it.
class PortAccessError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Why a port cannot be reached and what would give access, one line each: in English for the
// command-line tools and on standard error, in French for the window's event log.
struct Explanation {
    std::string Reason;
    std::string Remedy;
};
struct AccessRefusal {
    Explanation English;
    Explanation French;
};

// A library that gives the port instructions to a program of the NT family, where they are
// otherwise refused, and what became of it: not in the program's folder, refused by the
// loader (with the loader's code), lacking its functions, loaded with its own driver closed,
// or open (the port instructions of this interface then reach the ports).
enum class PortLibraryState { Absent, Unloadable, Incomplete, DriverClosed, Open };
struct PortLibrary {
    PortLibraryState State = PortLibraryState::Absent;
    std::uint32_t Error = 0;
};

// A parallel port of the system's device list: its name (LPTn) and its I/O ranges, as listed.
struct DeviceRange {
    std::uint16_t First = 0;
    std::uint16_t Last = 0;
};
struct SystemPort {
    std::string Name;
    std::vector<DeviceRange> Ranges;
};

class OsApi {
public:
    virtual ~OsApi() = default;

    // Platform identifier and the executable's full path (UTF-8).
    virtual std::uint32_t PlatformId() = 0;
    virtual std::string ExecutablePath() = 0;

    // Service control manager. Failed calls return kNullHandle or false and set the last error.
    virtual Handle OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) = 0;
    virtual Handle CreateServiceA(Handle manager, const char* name, const char* displayName,
                                  std::uint32_t access, std::uint32_t serviceType,
                                  std::uint32_t startType, std::uint32_t errorControl,
                                  const char* binaryPath) = 0;
    virtual Handle OpenServiceA(Handle manager, const char* name, std::uint32_t access) = 0;
    virtual bool StartServiceA(Handle service) = 0;
    virtual bool ControlService(Handle service, std::uint32_t control) = 0;
    virtual bool DeleteService(Handle service) = 0;
    virtual bool CloseServiceHandle(Handle handle) = 0;
    virtual std::uint32_t GetLastError() = 0;

    // Device I/O. CreateFileA returns kInvalidHandle on failure.
    virtual Handle CreateFileA(const char* name, std::uint32_t access, std::uint32_t shareMode,
                               std::uint32_t creation, std::uint32_t attributes) = 0;
    virtual bool DeviceIoControl(Handle device, std::uint32_t code, const void* in,
                                 std::uint32_t inSize, void* out, std::uint32_t outSize,
                                 std::uint32_t* bytesReturned) = 0;

    // The processor's port instructions (direct mode). They may raise PortAccessError.
    virtual std::uint8_t InByte(std::uint16_t port) = 0;
    virtual std::uint16_t InWord(std::uint16_t port) = 0;
    virtual std::uint32_t InDword(std::uint16_t port) = 0;
    virtual void OutByte(std::uint16_t port, std::uint8_t value) = 0;
    virtual void OutWord(std::uint16_t port, std::uint16_t value) = 0;
    virtual void OutDword(std::uint16_t port, std::uint32_t value) = 0;

    // Called once at start-up with the configured base addresses, after the preferences are
    // loaded; a backend may tell on standard error how it will reach each of them.
    virtual void ReportAccessPlan(const std::vector<std::uint16_t>& addresses) { (void)addresses; }

    // Why the data, status or control register of the port at `base` cannot be reached, each
    // distinct refusal once, in the order found; empty when all three can be. Asking may try
    // the ways to the port, as its first access would.
    // A backend that lets one copy of the program at a time use a port claims it here.
    virtual std::vector<AccessRefusal> RefusalsAt(std::uint16_t base) { (void)base; return {}; }

    // True when the program's rights to reach ports came with its file (a file capability or
    // set-user-id) rather than from the user who started it. Such a run reaches parallel-port
    // registers only, and the toolkit loads no code that the environment names.
    virtual bool RaisedRun() { return false; }

    // The second way to the ports on the NT family, tried by the port I/O client when its
    // driver cannot be reached: loads the port library, once.
    virtual PortLibrary OpenPortLibrary() { return {}; }

    // The parallel ports the system's device list names; nothing where it keeps no such list.
    virtual std::optional<std::vector<SystemPort>> SystemPorts() { return std::nullopt; }
};

// The implementation in use; installed once by the executable's main before any port access.
OsApi& Os();
void UseOs(OsApi& os);

} // namespace port
