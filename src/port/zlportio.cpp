#include "zlportio.h"

#include <string>

#include "ddkint.h"

port::Handle DeviceHandle = port::kNullHandle;
std::uint32_t IoctlPortRead = 0;
std::uint32_t IoctlPortWrite = 0;
bool DriverOpen = false;
bool DirectIo = false;
std::uint32_t DriverStartCode = 0;
port::PortLibrary PortLib;

namespace {

bool IsNtFamily() { return port::Os().PlatformId() == port::kVerPlatformWin32Nt; }

void PutLe32(std::uint8_t* out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[i] = std::uint8_t(v >> (8 * i));
}

std::uint32_t GetLe32(const std::uint8_t* in)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(in[i]) << (8 * i);
    return v;
}

// Directory of the executable without its trailing separator.
std::string ExecutableDir()
{
    std::string path = port::Os().ExecutablePath();
    auto cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

} // namespace

std::array<std::uint8_t, kPortRequestSize> EncodePortRequest(const PortRequest& request)
{
    std::array<std::uint8_t, kPortRequestSize> bytes{};
    PutLe32(bytes.data(), request.Port);
    PutLe32(bytes.data() + 4, std::uint32_t(request.Width));
    PutLe32(bytes.data() + 8, request.Value);
    return bytes;
}

PortRequest DecodePortRequest(const std::uint8_t* bytes)
{
    return {GetLe32(bytes), std::int32_t(GetLe32(bytes + 4)), GetLe32(bytes + 8)};
}

std::uint32_t PortCtlCode(std::uint32_t deviceType, std::uint32_t function, std::uint32_t method,
                          std::uint32_t access)
{
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

bool DeviceOpen(port::Handle& handle)
{
    if (!IsNtFamily())
        return true;
    auto& os = port::Os();
    handle = port::kInvalidHandle;
    handle = os.CreateFileA(kDeviceName, port::kGenericReadWrite, 0, port::kOpenExisting,
                            port::kFileAttributeNormal);
    std::uint32_t code = os.GetLastError();
    return code == port::kErrorSuccess || code == port::kErrorAlreadyExists;
}

void DriverStopRemove()
{
    if (!IsNtFamily())
        return;
    ServiceStop(kDriverName);
    ServiceRemove(kDriverName);
}

bool DriverStart()
{
    if (!IsNtFamily())
        return true;
    DriverStopRemove();
    std::string path = ExecutableDir() + "\\" + kDriverName + kDriverFileExt;
    if (path.size() > kMaxDriverPath)
        path.resize(kMaxDriverPath);
    const std::uint32_t installed = ServiceInstall(path.c_str(), kDriverName);
    const std::uint32_t started = ServiceStart(kDriverName);
    // Without administrator rights the install is refused and the start then finds no service:
    // the refusal is what the user can act on.
    DriverStartCode = installed == port::kErrorAccessDenied ? installed : started;
    return started == 0;
}

void PortIoStartup()
{
    IoctlPortRead = PortCtlCode(kPortIoDeviceType, 1, 0, 0);
    IoctlPortWrite = PortCtlCode(kPortIoDeviceType, 2, 0, 0);
    if (!IsNtFamily()) {
        DriverOpen = true;
        DirectIo = true;
        return;
    }
    if (DeviceOpen(DeviceHandle)) {
        DriverOpen = true;
        return;
    }
    if (DriverStart()) {
        DriverOpen = DeviceOpen(DeviceHandle);
        if (!DriverOpen)
            DriverStartCode = port::Os().GetLastError();
    }
    // Without the driver, the port library in direct mode, when the system offers one.
    if (!DriverOpen) {
        PortLib = port::Os().OpenPortLibrary();
        if (PortLib.State == port::PortLibraryState::Open) {
            DriverOpen = true;
            DirectIo = true;
        }
    }
}

void PortIoShutdown()
{
    if (DriverOpen)
        DriverStopRemove();
}

void PortWrite(std::uint32_t port, PortIoWidth width, std::uint32_t value)
{
    auto& os = port::Os();
    if (DirectIo) {
        auto address = std::uint16_t(port);
        switch (width) {
        case pwByte: os.OutByte(address, std::uint8_t(value)); break;
        case pwWord: os.OutWord(address, std::uint16_t(value)); break;
        case pwDword: os.OutDword(address, value); break;
        default: break;
        }
    } else if (DriverOpen) {
        auto request = EncodePortRequest({port, width, value});
        std::uint32_t returned = 0;
        os.DeviceIoControl(DeviceHandle, IoctlPortWrite, request.data(), kPortRequestSize,
                           nullptr, 0, &returned);
    }
}

std::uint32_t PortRead(std::uint32_t port, PortIoWidth width)
{
    auto& os = port::Os();
    if (DirectIo) {
        auto address = std::uint16_t(port);
        switch (width) {
        case pwByte: return os.InByte(address);
        case pwWord: return os.InWord(address);
        case pwDword: return os.InDword(address);
        default: return 0;
        }
    }
    if (DriverOpen) {
        auto request = EncodePortRequest({port, width, 0});
        std::array<std::uint8_t, kPortReplySize> reply{};
        std::uint32_t returned = 0;
        os.DeviceIoControl(DeviceHandle, IoctlPortRead, request.data(), kPortRequestSize,
                           reply.data(), kPortReplySize, &returned);
        return GetLe32(reply.data());
    }
    return 0;
}

void PortIoReset()
{
    DeviceHandle = port::kNullHandle;
    IoctlPortRead = 0;
    IoctlPortWrite = 0;
    DriverOpen = false;
    DirectIo = false;
    DriverStartCode = 0;
    PortLib = {};
}
