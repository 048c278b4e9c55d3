#pragma once
// The host's real port access on Linux: not of the NT family, so the port I/O client uses
// direct mode, and each port instruction runs after the kernel has granted access to its
// address. A refused or impossible access raises port::PortAccessError; the first refusal is
// explained once on standard error.
#include <bitset>
#include <cstdio>
#include <string>

#include "../OsApi.h"

namespace port {

class LinuxOs : public OsApi {
public:
    explicit LinuxOs(std::FILE* diagnostics = stderr) : diagnostics_(diagnostics) {}

    std::uint32_t PlatformId() override { return 0; }
    std::string ExecutablePath() override;

    Handle OpenSCManagerA(const char*, const char*, std::uint32_t) override { return NotHere(); }
    Handle CreateServiceA(Handle, const char*, const char*, std::uint32_t, std::uint32_t,
                          std::uint32_t, std::uint32_t, const char*) override { return NotHere(); }
    Handle OpenServiceA(Handle, const char*, std::uint32_t) override { return NotHere(); }
    bool StartServiceA(Handle) override { return NotHere() != 0; }
    bool ControlService(Handle, std::uint32_t) override { return NotHere() != 0; }
    bool DeleteService(Handle) override { return NotHere() != 0; }
    bool CloseServiceHandle(Handle) override { return NotHere() != 0; }
    std::uint32_t GetLastError() override { return lastError_; }
    Handle CreateFileA(const char*, std::uint32_t, std::uint32_t, std::uint32_t,
                       std::uint32_t) override
    {
        NotHere();
        return kInvalidHandle;
    }
    bool DeviceIoControl(Handle, std::uint32_t, const void*, std::uint32_t, void*, std::uint32_t,
                         std::uint32_t*) override { return NotHere() != 0; }

    std::uint8_t InByte(std::uint16_t port) override;
    std::uint16_t InWord(std::uint16_t port) override;
    std::uint32_t InDword(std::uint16_t port) override;
    void OutByte(std::uint16_t port, std::uint8_t value) override;
    void OutWord(std::uint16_t port, std::uint16_t value) override;
    void OutDword(std::uint16_t port, std::uint32_t value) override;

private:
    Handle NotHere()
    {
        lastError_ = 120; // ERROR_CALL_NOT_IMPLEMENTED
        return kNullHandle;
    }
    // Asks the kernel for the addresses port .. port + size - 1; raises on a refusal.
    void Grant(std::uint16_t port, unsigned size);

    std::FILE* diagnostics_;
    std::bitset<65536> granted_;
    bool explained_ = false;
    std::uint32_t lastError_ = 0;
};

} // namespace port
