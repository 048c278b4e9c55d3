#pragma once
// The host's real port access on Linux. Not of the NT family, so the port I/O client uses
// direct mode; every byte access goes by the first of these that serves its address:
//   1. ppdev (/dev/parportN), for the data, status and control registers of a port the
//      kernel drives: claimed on first use, kept for the run, released when this object ends;
//      a claim waits at most kClaimWait for another driver to let the port go;
//   2. /dev/port, one byte read or written at the address;
//   3. ioperm and the processor's port instructions (x86 only);
// and otherwise the access raises port::PortAccessError. In a raised run (see RaisedRun) the
// raw ways 2 and 3 reach parallel-port registers only (ParallelRanges.h); ppdev reaches its
// port's registers alone by itself. Word and double-word accesses are
// made of byte accesses at consecutive addresses. Every system call goes through LinuxSys.
#include <bitset>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../OsApi.h"
#include "LinuxRefusals.h"
#include "LinuxSys.h"
#include "ParallelRanges.h"
#include "ParportProc.h"

namespace port {

class LinuxOs : public OsApi {
public:
    // The real system calls; explanations go to `diagnostics` (nothing when it is null), each
    // line headed by the program's name.
    explicit LinuxOs(std::FILE* diagnostics = stderr, const std::string& program = "tamsel");
    // Replaced system calls, for tests and checks.
    LinuxOs(LinuxSys& sys, std::FILE* diagnostics, const std::string& program = "tamsel");
    ~LinuxOs() override;
    LinuxOs(const LinuxOs&) = delete;
    LinuxOs& operator=(const LinuxOs&) = delete;

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

    bool RaisedRun() override { return raised_; }

    void ReportAccessPlan(const std::vector<std::uint16_t>& addresses) override
    {
        ReportPortAccess(addresses);
    }
    // Writes to the diagnostics the kernel's ports and how each base address (with its status
    // and control registers) will be reached, and for a refusal why and what would give access.
    // Working that out opens and claims the kernel ports involved, as their first use would.
    void ReportPortAccess(const std::vector<std::uint16_t>& addresses);

    std::vector<AccessRefusal> RefusalsAt(std::uint16_t base) override;

    enum class Method { Ppdev, DevPort, PortInstructions, None };
    // How long a claim may sleep while another driver holds the port. While it sleeps, every
    // other ppdev request in the system waits as well, the holder's own release included.
    static constexpr std::chrono::milliseconds kClaimWait{1000};

    // The method that serves an address now, trying the ones not tried yet.
    Method MethodFor(std::uint16_t address);

private:
    // ppdev on one kernel port.
    struct Channel {
        KernelPort Port;
        enum class State { Untried, Claimed, Refused, Lost } Status = State::Untried;
        // Why a refused port was refused: its device did not open, another driver held it
        // before the claim, the claim slept through kClaimWait, or the claim failed.
        enum class Refusal { Open, Held, Slept, Claim } Why = Refusal::Open;
        int Fd = -1;
        int Error = 0;            // errno of the refusal or of the loss
        std::string Holder;       // driver holding the port when it was refused
        std::optional<std::uint8_t> Control; // last value written to the control register
    };
    struct Route {
        Method How = Method::None;
        Channel* Via = nullptr;
        bool NotParallel = false; // refused: a raised run's raw access outside parallel ports
    };

    Handle NotHere()
    {
        lastError_ = 120; // ERROR_CALL_NOT_IMPLEMENTED
        return kNullHandle;
    }

    void Discover();
    Channel* ChannelCovering(std::uint32_t address);
    void OpenChannel(Channel& channel);
    bool OpenDevPort();
    bool GrantPort(std::uint16_t address);
    Route RouteFor(std::uint32_t address);

    std::uint8_t ReadByte(std::uint32_t address);
    void WriteByte(std::uint32_t address, std::uint8_t value);
    std::uint8_t PpRead(Channel& channel, unsigned offset);
    void PpWrite(Channel& channel, unsigned offset, std::uint8_t value);
    void PpIoctl(Channel& channel, unsigned long request, void* argument);
    [[noreturn]] void Refuse(std::uint32_t address, const std::string& what);

    std::string Describe(const Route& route) const;
    // Why the route to an address reaches nothing and what would give access; nothing when
    // it reaches the address.
    std::optional<AccessRefusal> Explain(const Route& route, std::uint32_t address);
    AccessRefusal ExplainChannel(const Channel& channel);
    AccessRefusal ExplainRaw(std::uint32_t address);
    void Say(const std::string& line);   // once per distinct line for the whole run
    void SayRefusal(const AccessRefusal& refusal); // its reason: and remedy: lines
    bool Said(const std::string& line) const { return said_.count(line) != 0; }

    std::unique_ptr<LinuxSys> ownSys_;
    LinuxSys& sys_;
    std::FILE* diagnostics_;
    const std::string program_;
    const std::string prefix_, reason_, remedy_; // "tamsel: ", "tamsel:   reason: ", ...

    const bool raised_;
    bool discovered_ = false;
    std::vector<Channel> channels_;
    std::vector<IoRange> parallel_;  // what a raised run may reach by the raw ways
    bool devPortTried_ = false;
    int devPortFd_ = -1;
    int devPortError_ = 0;
    int iopermError_ = 0;            // errno of the first refused ioperm
    std::bitset<65536> granted_;
    std::set<std::string> said_;
    std::uint32_t lastError_ = 0;
};

} // namespace port
