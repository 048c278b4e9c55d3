#pragma once
// The simulated bench as an operating system: not of the NT family, so the port I/O client uses
// direct mode, and its port instructions reach the simulated port. Service and device calls
// fail as they would on a platform that has none.
#include "../OsApi.h"
#include "BenchPort.h"

namespace bench {

class BenchOs : public port::OsApi {
public:
    explicit BenchOs(std::string executablePath = {}) : path_(std::move(executablePath)) {}

    BenchPort& Port() { return port_; }

    std::uint32_t PlatformId() override { return 1; } // the 9x family: direct port access
    std::string ExecutablePath() override { return path_; }

    port::Handle OpenSCManagerA(const char*, const char*, std::uint32_t) override { return Fail(); }
    port::Handle CreateServiceA(port::Handle, const char*, const char*, std::uint32_t, std::uint32_t,
                                std::uint32_t, std::uint32_t, const char*) override { return Fail(); }
    port::Handle OpenServiceA(port::Handle, const char*, std::uint32_t) override { return Fail(); }
    bool StartServiceA(port::Handle) override { return Fail() != 0; }
    bool ControlService(port::Handle, std::uint32_t) override { return Fail() != 0; }
    bool DeleteService(port::Handle) override { return Fail() != 0; }
    bool CloseServiceHandle(port::Handle) override { return Fail() != 0; }
    std::uint32_t GetLastError() override { return lastError_; }
    port::Handle CreateFileA(const char*, std::uint32_t, std::uint32_t, std::uint32_t,
                             std::uint32_t) override
    {
        Fail();
        return port::kInvalidHandle;
    }
    bool DeviceIoControl(port::Handle, std::uint32_t, const void*, std::uint32_t, void*,
                         std::uint32_t, std::uint32_t*) override { return Fail() != 0; }

    std::uint8_t InByte(std::uint16_t p) override { return port_.Read(p); }
    std::uint16_t InWord(std::uint16_t p) override;
    std::uint32_t InDword(std::uint16_t p) override;
    void OutByte(std::uint16_t p, std::uint8_t v) override { port_.Write(p, v); }
    void OutWord(std::uint16_t p, std::uint16_t v) override;
    void OutDword(std::uint16_t p, std::uint32_t v) override;

private:
    port::Handle Fail()
    {
        lastError_ = 120; // ERROR_CALL_NOT_IMPLEMENTED
        return port::kNullHandle;
    }

    std::string path_;
    BenchPort port_;
    std::uint32_t lastError_ = 0;
};

} // namespace bench
