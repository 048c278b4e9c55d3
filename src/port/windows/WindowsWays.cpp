// The Windows backend's ways to the ports beyond the port driver's service and device: the port
// instructions (the InpOutx64 library on the NT family), the claim of a port by one copy of the
// program, the refusals, the system's list of parallel ports and the start-up report.
#include <windows.h>

#include <set>

#include "SetupApiPorts.h"
#include "SystemPortsReport.h"
#include "WindowsOs.h"
#include "WindowsRefusals.h"
#include "WideText.h"
#include "zlportio.h"

namespace port {

std::wstring WindowsOs::ExecutableFolder()
{
    const std::wstring path = ExecutablePathW();
    return path.substr(0, path.find_last_of(L"\\/"));
}

PortLibrary WindowsOs::OpenPortLibrary() { return inpOut_.Open(ExecutableFolder()); }

namespace {

bool DriverFileBeside()
{
    const std::wstring path = WindowsOs::ExecutableFolder() + L"\\zlportio.sys";
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::vector<AccessRefusal> WindowsOs::RefusalsAt(std::uint16_t base)
{
    std::vector<AccessRefusal> refusals =
        WaysRefusals(DriverOpen, DriverFileBeside(), DriverStartCode, PortLib);
    if (refusals.empty() && !claims_.Claim(base))
        refusals.push_back(HeldByAnotherCopy(base));
    return refusals;
}

std::optional<std::vector<SystemPort>> WindowsOs::SystemPorts() { return ListSystemParallelPorts(); }

void WindowsOs::ReportAccessPlan(const std::vector<std::uint16_t>& addresses)
{
    std::string program = ExecutablePath();
    program = program.substr(program.find_last_of("\\/") + 1);
    program = program.substr(0, program.rfind('.'));
    const std::string prefix = program + ": ";
    std::string text = prefix + WayInUse(DriverOpen, DirectIo, DriverFileBeside(), DriverStartCode) + "\n";
    for (const std::string& line : SystemPortLines(ListSystemParallelPorts(), addresses, false))
        text += prefix + line + "\n";
    std::set<std::uint16_t> seen;
    for (std::uint16_t base : addresses) {
        if (base == 0 || !seen.insert(base).second)
            continue;
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%X", unsigned(base));
        const std::vector<AccessRefusal> refusals = RefusalsAt(base);
        text += prefix + "port " + hex + (refusals.empty() ? ": reachable\n" : ": no access\n");
        for (const AccessRefusal& refusal : refusals)
            text += prefix + "  reason: " + refusal.English.Reason + "\n" + prefix +
                    "  remedy: " + refusal.English.Remedy + "\n";
    }
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

void WindowsOs::Guard(std::uint16_t port)
{
    if (!claims_.Claim(port)) {
        char text[64];
        std::snprintf(text, sizeof text, "port 0x%X: held by another copy of Tamsel", unsigned(port));
        throw PortAccessError(text);
    }
}

// The port instructions, on a port this copy holds: the library's functions once it is open,
// else the processor's own, which only the platforms outside the NT family let a program run.
std::uint8_t WindowsOs::InByte(std::uint16_t port)
{
    Guard(port);
    if (inpOut_.IsOpen())
        return inpOut_.ReadByte(port);
    std::uint8_t v;
    __asm__ __volatile__("inb %w1, %b0" : "=a"(v) : "Nd"(port));
    return v;
}

std::uint16_t WindowsOs::InWord(std::uint16_t port)
{
    Guard(port);
    if (inpOut_.IsOpen())
        return inpOut_.ReadWord(port);
    std::uint16_t v;
    __asm__ __volatile__("inw %w1, %w0" : "=a"(v) : "Nd"(port));
    return v;
}

std::uint32_t WindowsOs::InDword(std::uint16_t port)
{
    Guard(port);
    if (inpOut_.IsOpen())
        return inpOut_.ReadDword(port);
    std::uint32_t v;
    __asm__ __volatile__("inl %w1, %0" : "=a"(v) : "Nd"(port));
    return v;
}

void WindowsOs::OutByte(std::uint16_t port, std::uint8_t value)
{
    Guard(port);
    if (inpOut_.IsOpen())
        return inpOut_.WriteByte(port, value);
    __asm__ __volatile__("outb %b0, %w1" : : "a"(value), "Nd"(port));
}

void WindowsOs::OutWord(std::uint16_t port, std::uint16_t value)
{
    Guard(port);
    if (inpOut_.IsOpen())
        return inpOut_.WriteWord(port, value);
    __asm__ __volatile__("outw %w0, %w1" : : "a"(value), "Nd"(port));
}

void WindowsOs::OutDword(std::uint16_t port, std::uint32_t value)
{
    Guard(port);
    if (inpOut_.IsOpen())
        return inpOut_.WriteDword(port, value);
    __asm__ __volatile__("outl %0, %w1" : : "a"(value), "Nd"(port));
}

} // namespace port
