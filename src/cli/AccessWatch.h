#pragma once
// An operating system that passes every call to another one and notes the port accesses it
// refuses: a port instruction that raises port::PortAccessError, or a driver request that
// fails. The port model drops such errors (a refused read gives 0); the tool must tell them
// from a line that is simply low, and say so with its own exit code.
#include <string>

#include "OsApi.h"

namespace cli {

class AccessWatch final : public port::OsApi {
public:
    explicit AccessWatch(port::OsApi& inner) : inner_(inner) {}

    bool Refused() const { return refused_; }
    // What the first refusal said.
    const std::string& Reason() const { return reason_; }

    std::uint32_t PlatformId() override { return inner_.PlatformId(); }
    std::string ExecutablePath() override { return inner_.ExecutablePath(); }

    port::Handle OpenSCManagerA(const char* machine, const char* database,
                                std::uint32_t access) override
    {
        return inner_.OpenSCManagerA(machine, database, access);
    }
    port::Handle CreateServiceA(port::Handle manager, const char* name, const char* displayName,
                                std::uint32_t access, std::uint32_t serviceType,
                                std::uint32_t startType, std::uint32_t errorControl,
                                const char* binaryPath) override
    {
        return inner_.CreateServiceA(manager, name, displayName, access, serviceType, startType,
                                     errorControl, binaryPath);
    }
    port::Handle OpenServiceA(port::Handle manager, const char* name, std::uint32_t access) override
    {
        return inner_.OpenServiceA(manager, name, access);
    }
    bool StartServiceA(port::Handle service) override { return inner_.StartServiceA(service); }
    bool ControlService(port::Handle service, std::uint32_t control) override
    {
        return inner_.ControlService(service, control);
    }
    bool DeleteService(port::Handle service) override { return inner_.DeleteService(service); }
    bool CloseServiceHandle(port::Handle handle) override
    {
        return inner_.CloseServiceHandle(handle);
    }
    std::uint32_t GetLastError() override { return inner_.GetLastError(); }
    port::Handle CreateFileA(const char* name, std::uint32_t access, std::uint32_t shareMode,
                             std::uint32_t creation, std::uint32_t attributes) override
    {
        return inner_.CreateFileA(name, access, shareMode, creation, attributes);
    }
    bool DeviceIoControl(port::Handle device, std::uint32_t code, const void* in,
                         std::uint32_t inSize, void* out, std::uint32_t outSize,
                         std::uint32_t* bytesReturned) override;

    std::uint8_t InByte(std::uint16_t port) override;
    std::uint16_t InWord(std::uint16_t port) override;
    std::uint32_t InDword(std::uint16_t port) override;
    void OutByte(std::uint16_t port, std::uint8_t value) override;
    void OutWord(std::uint16_t port, std::uint16_t value) override;
    void OutDword(std::uint16_t port, std::uint32_t value) override;

    void ReportAccessPlan(const std::vector<std::uint16_t>& addresses) override
    {
        inner_.ReportAccessPlan(addresses);
    }
    std::vector<port::AccessRefusal> RefusalsAt(std::uint16_t base) override
    {
        return inner_.RefusalsAt(base);
    }
    port::PortLibrary OpenPortLibrary() override { return inner_.OpenPortLibrary(); }
    std::optional<std::vector<port::SystemPort>> SystemPorts() override
    {
        return inner_.SystemPorts();
    }

private:
    void Note(const std::string& reason);
    // Runs one port instruction, noting a refusal before passing it on.
    template <typename F>
    auto Watched(F&& instruction) -> decltype(instruction())
    {
        try {
            return instruction();
        } catch (const port::PortAccessError& e) {
            Note(e.what());
            throw;
        }
    }

    port::OsApi& inner_;
    bool refused_ = false;
    std::string reason_;
};

} // namespace cli
