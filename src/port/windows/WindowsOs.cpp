#include "WindowsOs.h"

#include <vector>
#include <windows.h>

#include "zlportio.h"

namespace port {

namespace {

SC_HANDLE Sc(Handle h) { return reinterpret_cast<SC_HANDLE>(h); }
Handle FromSc(SC_HANDLE h) { return reinterpret_cast<Handle>(h); }

} // namespace

std::uint32_t WindowsOs::PlatformId()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info))
        return 0;
#pragma GCC diagnostic pop
    return info.dwPlatformId;
}

std::string WindowsOs::ExecutablePath()
{
    // The buffer grows until the whole path fits (the call truncates silently otherwise).
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size())
            return std::string(buffer.data(), n);
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

Handle WindowsOs::OpenSCManagerA(const char* machine, const char* database, std::uint32_t access)
{
    return FromSc(::OpenSCManagerA(machine, database, access));
}

Handle WindowsOs::CreateServiceA(Handle manager, const char* name, const char* displayName,
                                 std::uint32_t access, std::uint32_t serviceType,
                                 std::uint32_t startType, std::uint32_t errorControl,
                                 const char* binaryPath)
{
    return FromSc(::CreateServiceA(Sc(manager), name, displayName, access, serviceType, startType,
                                   errorControl, binaryPath, nullptr, nullptr, nullptr, nullptr,
                                   nullptr));
}

Handle WindowsOs::OpenServiceA(Handle manager, const char* name, std::uint32_t access)
{
    return FromSc(::OpenServiceA(Sc(manager), name, access));
}

bool WindowsOs::StartServiceA(Handle service)
{
    return ::StartServiceA(Sc(service), 0, nullptr) != FALSE;
}

bool WindowsOs::ControlService(Handle service, std::uint32_t control)
{
    SERVICE_STATUS status{}; // filled by the call, not used
    return ::ControlService(Sc(service), control, &status) != FALSE;
}

bool WindowsOs::DeleteService(Handle service) { return ::DeleteService(Sc(service)) != FALSE; }

bool WindowsOs::CloseServiceHandle(Handle handle)
{
    return ::CloseServiceHandle(Sc(handle)) != FALSE;
}

std::uint32_t WindowsOs::GetLastError() { return ::GetLastError(); }

Handle WindowsOs::CreateFileA(const char* name, std::uint32_t access, std::uint32_t shareMode,
                              std::uint32_t creation, std::uint32_t attributes)
{
    HANDLE h = ::CreateFileA(name, access, shareMode, nullptr, creation, attributes, nullptr);
    return reinterpret_cast<Handle>(h); // INVALID_HANDLE_VALUE is kInvalidHandle
}

bool WindowsOs::DeviceIoControl(Handle device, std::uint32_t code, const void* in,
                                std::uint32_t inSize, void* out, std::uint32_t outSize,
                                std::uint32_t* bytesReturned)
{
    // A request for a port that another copy of the program holds does not reach it.
    if (in != nullptr && inSize >= kPortRequestSize &&
        !claims_.Claim(DecodePortRequest(static_cast<const std::uint8_t*>(in)).Port)) {
        ::SetLastError(ERROR_BUSY);
        return false;
    }
    DWORD returned = 0;
    BOOL ok = ::DeviceIoControl(reinterpret_cast<HANDLE>(device), code, const_cast<void*>(in),
                                inSize, out, outSize, &returned, nullptr);
    if (bytesReturned != nullptr)
        *bytesReturned = returned;
    return ok != FALSE;
}

} // namespace port
