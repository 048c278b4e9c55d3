// A look from outside at what the program under test left in the system, for the end-to-end
// run under Wine:
//   probe service        the "zlportio" service: "absent", or its state and driver file
//   probe read ADDRESS   one byte of the port driver's port, through its device
//   probe inpout ADDRESS LIBRARY   one byte of the stand-in port library's port (the library
//                        shares its port with every process that loads it)
//   probe clipboard      the clipboard's text
// Prints UTF-8 on standard output; exits with 1 when the thing asked for is not there.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "zlportio.h"

namespace {

std::string Utf8(const wchar_t* text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

int Service()
{
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceW(manager, L"zlportio",
                                               SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG)
                                : nullptr;
    if (service == nullptr) {
        std::puts("absent");
        return 0;
    }
    SERVICE_STATUS status{};
    QueryServiceStatus(service, &status);
    const char* state = status.dwCurrentState == SERVICE_RUNNING   ? "running"
                        : status.dwCurrentState == SERVICE_STOPPED ? "stopped"
                                                                   : "pending";
    DWORD needed = 0;
    QueryServiceConfigW(service, nullptr, 0, &needed);
    std::vector<unsigned char> buffer(needed + sizeof(QUERY_SERVICE_CONFIGW));
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    std::string binary = QueryServiceConfigW(service, config, DWORD(buffer.size()), &needed)
                             ? Utf8(config->lpBinaryPathName)
                             : "?";
    std::printf("%s %s\n", state, binary.c_str());
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return 0;
}

int Read(unsigned long address)
{
    HANDLE device = CreateFileA(kDeviceName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        std::puts("no device");
        return 1;
    }
    const auto request = EncodePortRequest({std::uint32_t(address), pwByte, 0});
    std::uint32_t reply = 0;
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(device, PortCtlCode(kPortIoDeviceType, 1, 0, 0),
                              const_cast<std::uint8_t*>(request.data()), DWORD(request.size()),
                              &reply, sizeof reply, &returned, nullptr);
    CloseHandle(device);
    if (!ok) {
        std::puts("refused");
        return 1;
    }
    std::printf("%02X\n", unsigned(reply));
    return 0;
}

int ReadInpOut(unsigned long address, const char* library)
{
    HMODULE module = LoadLibraryA(library);
    auto read = module ? reinterpret_cast<unsigned char(__stdcall*)(unsigned short)>(
                             reinterpret_cast<void*>(GetProcAddress(module, "DlPortReadPortUchar")))
                       : nullptr;
    if (read == nullptr) {
        std::puts("no library");
        return 1;
    }
    std::printf("%02X\n", unsigned(read(static_cast<unsigned short>(address))));
    return 0;
}

int Clipboard()
{
    if (!OpenClipboard(nullptr))
        return 1;
    int result = 1;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            std::fputs(Utf8(text).c_str(), stdout);
            GlobalUnlock(data);
            result = 0;
        }
    }
    CloseClipboard();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "service")
        return Service();
    if (what == "read" && argc > 2)
        return Read(std::strtoul(argv[2], nullptr, 0));
    if (what == "inpout" && argc > 3)
        return ReadInpOut(std::strtoul(argv[2], nullptr, 0), argv[3]);
    if (what == "clipboard")
        return Clipboard();
    std::fputs("usage: probe service | read ADDRESS | inpout ADDRESS LIBRARY | clipboard\n", stderr);
    return 2;
}
