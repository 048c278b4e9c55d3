#pragma once
// What the end of the program's process does to the port I/O client's device: its handle is
// closed (the client never closes it itself). The stand-in driver, which stays loaded while its
// device is open, then unloads itself on a thread of its own, and its service, deleted before,
// goes with it; this waits until it has gone. Called first, it also waits for the driver of an
// earlier test process to go.
#include <windows.h>

#include "zlportio.h"

namespace wintest {

inline void EndOfProcess()
{
    if (DeviceHandle != port::kNullHandle && DeviceHandle != port::kInvalidHandle)
        ::CloseHandle(reinterpret_cast<HANDLE>(DeviceHandle));
    DeviceHandle = port::kInvalidHandle;
    SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    for (int i = 0; manager != nullptr && i < 200; ++i) {
        SC_HANDLE service = ::OpenServiceA(manager, kDriverName, SERVICE_QUERY_STATUS);
        if (service == nullptr)
            break;
        ::CloseServiceHandle(service);
        ::Sleep(25);
    }
    if (manager != nullptr)
        ::CloseServiceHandle(manager);
}

} // namespace wintest
