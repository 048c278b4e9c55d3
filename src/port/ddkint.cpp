#include "ddkint.h"

#include "OsApi.h"

using port::Handle;
using port::kNullHandle;
using port::Os;

namespace {

// Opens the service step's own service handle, runs the step on it, and closes both handles.
// The error code is taken right after the call that failed, before any handle is closed.
template <typename Step>
std::uint32_t WithService(const char* serviceName, std::uint32_t managerAccess,
                          std::uint32_t serviceAccess, Step step)
{
    auto& os = Os();
    Handle manager = os.OpenSCManagerA(nullptr, nullptr, managerAccess);
    if (manager == kNullHandle)
        return os.GetLastError();
    std::uint32_t code = 0;
    Handle service = os.OpenServiceA(manager, serviceName, serviceAccess);
    if (service == kNullHandle) {
        code = os.GetLastError();
    } else {
        if (!step(os, service))
            code = os.GetLastError();
        os.CloseServiceHandle(service);
    }
    os.CloseServiceHandle(manager);
    return code;
}

} // namespace

std::uint32_t ServiceInstall(const char* driverPath, const char* serviceName)
{
    auto& os = Os();
    Handle manager = os.OpenSCManagerA(nullptr, nullptr, port::kScManagerAllAccess);
    if (manager == kNullHandle)
        return os.GetLastError();
    std::uint32_t code = 0;
    Handle service = os.CreateServiceA(manager, serviceName, serviceName, port::kServiceAllAccess,
                                       port::kServiceKernelDriver, port::kServiceDemandStart,
                                       port::kServiceErrorNormal, driverPath);
    if (service == kNullHandle)
        code = os.GetLastError();
    else
        os.CloseServiceHandle(service);
    os.CloseServiceHandle(manager);
    return code;
}

std::uint32_t ServiceStart(const char* serviceName)
{
    return WithService(serviceName, port::kScManagerConnect, port::kServiceStart,
                       [](port::OsApi& os, Handle s) { return os.StartServiceA(s); });
}

std::uint32_t ServiceStop(const char* serviceName)
{
    return WithService(serviceName, port::kScManagerConnect, port::kServiceStop,
                       [](port::OsApi& os, Handle s) {
                           return os.ControlService(s, port::kServiceControlStop);
                       });
}

std::uint32_t ServiceRemove(const char* serviceName)
{
    return WithService(serviceName, port::kScManagerAllAccess, port::kServiceAllAccess,
                       [](port::OsApi& os, Handle s) { return os.DeleteService(s); });
}
