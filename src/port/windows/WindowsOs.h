#pragma once
// The host's real calls on Windows: the service control manager, the driver's device, the
// platform identifier and the executable's path, and the port instructions for direct mode:
// through the InpOutx64 library once it is open (the NT family refuses them to a program),
// else the processor's own (the platforms outside the NT family let a program run them).
// One copy of the program at a time tests or holds a port.
#include <cstdio>
#include <string>

#include "../OsApi.h"
#include "InpOut.h"
#include "PortClaims.h"

namespace port {

class WindowsOs : public OsApi {
public:
    std::uint32_t PlatformId() override;
    std::string ExecutablePath() override;

    Handle OpenSCManagerA(const char* machine, const char* database, std::uint32_t access) override;
    Handle CreateServiceA(Handle manager, const char* name, const char* displayName,
                          std::uint32_t access, std::uint32_t serviceType, std::uint32_t startType,
                          std::uint32_t errorControl, const char* binaryPath) override;
    Handle OpenServiceA(Handle manager, const char* name, std::uint32_t access) override;
    bool StartServiceA(Handle service) override;
    bool ControlService(Handle service, std::uint32_t control) override;
    bool DeleteService(Handle service) override;
    bool CloseServiceHandle(Handle handle) override;
    std::uint32_t GetLastError() override;

    Handle CreateFileA(const char* name, std::uint32_t access, std::uint32_t shareMode,
                       std::uint32_t creation, std::uint32_t attributes) override;
    bool DeviceIoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t inSize,
                         void* out, std::uint32_t outSize, std::uint32_t* bytesReturned) override;

    std::uint8_t InByte(std::uint16_t port) override;
    std::uint16_t InWord(std::uint16_t port) override;
    std::uint32_t InDword(std::uint16_t port) override;
    void OutByte(std::uint16_t port, std::uint8_t value) override;
    void OutWord(std::uint16_t port, std::uint16_t value) override;
    void OutDword(std::uint16_t port, std::uint32_t value) override;

    PortLibrary OpenPortLibrary() override;
    std::vector<AccessRefusal> RefusalsAt(std::uint16_t base) override;
    std::optional<std::vector<SystemPort>> SystemPorts() override;
    // Writes to standard error the way in use, the system's parallel ports and, for each base
    // address, how it is reached or why it is refused and what would give access.
    void ReportAccessPlan(const std::vector<std::uint16_t>& addresses) override;

    // The folder of the running executable, in the system's wide characters.
    static std::wstring ExecutableFolder();

private:
    // Raises PortAccessError when another copy holds the port.
    void Guard(std::uint16_t port);

    InpOut inpOut_;
    PortClaims claims_;
};

} // namespace port
