#include "WindowsOs.h"

#include <string>
#include <vector>
#include <windows.h>

#include "WideText.h"
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

std::string WindowsOs::ExecutablePath() { return Utf8(ExecutablePathW()); }

Handle WindowsOs::OpenSCManagerA(const char* machine, const char* database, std::uint32_t access)
{
    return FromSc(::OpenSCManagerA(machine, database, access));
}

Handle WindowsOs::CreateServiceA(Handle manager, const char* name, const char* displayName,
                                 std::uint32_t access, std::uint32_t serviceType,
                                 std::uint32_t startType, std::uint32_t errorControl,
                                 const char* binaryPath)
{
    // The driver's path is UTF-8, as the executable's path it comes from. The service takes it
    // in the system's ANSI code page when every character has its place there; otherwise
    // (a folder named in another script) the wide call gives it whole. A text that is not
    // UTF-8 goes as it is.
    const std::wstring wide = Wide(binaryPath);
    BOOL lost = FALSE;
    const int size = wide.empty() ? 0
                                  : ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(),
                                                          -1, nullptr, 0, nullptr, &lost);
    if (size > 0 && lost) {
        return FromSc(::CreateServiceW(Sc(manager), Wide(name).c_str(), Wide(displayName).c_str(), access,
                                       serviceType, startType, errorControl, wide.c_str(),
                                       nullptr, nullptr, nullptr, nullptr, nullptr));
    }
    std::vector<char> ansi(binaryPath, binaryPath + std::char_traits<char>::length(binaryPath) + 1);
    if (size > 0) {
        ansi.resize(std::size_t(size));
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, ansi.data(), size,
                              nullptr, nullptr);
    }
    return FromSc(::CreateServiceA(Sc(manager), name, displayName, access, serviceType, startType,
                                   errorControl, ansi.data(), nullptr, nullptr, nullptr, nullptr,
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
