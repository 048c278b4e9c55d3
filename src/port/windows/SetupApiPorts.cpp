#include "SetupApiPorts.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <setupapi.h>

#include <cwctype>
#include <memory>

namespace port {

namespace {

// The Ports (COM & LPT) device class.
const GUID kPortsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// The device's port name (LPT1, COM3, ...), from its device key.
std::wstring PortName(HDEVINFO devices, SP_DEVINFO_DATA& device)
{
    HKEY key = ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return {};
    wchar_t name[64] = {};
    DWORD size = sizeof name - sizeof name[0], type = 0;
    LONG result = ::RegQueryValueExW(key, L"PortName", nullptr, &type,
                                     reinterpret_cast<BYTE*>(name), &size);
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::wstring(name) : std::wstring();
}

bool IsParallelName(const std::wstring& name)
{
    if (name.size() < 4 || name.compare(0, 3, L"LPT") != 0)
        return false;
    for (std::size_t i = 3; i < name.size(); ++i)
        if (!std::iswdigit(name[i]))
            return false;
    return true;
}

// The I/O ranges of the device's allotted configuration, else of its boot configuration.
std::vector<DeviceRange> IoRanges(DEVINST instance)
{
    std::vector<DeviceRange> ranges;
    LOG_CONF config = 0;
    if (::CM_Get_First_Log_Conf(&config, instance, ALLOC_LOG_CONF) != CR_SUCCESS &&
        ::CM_Get_First_Log_Conf(&config, instance, BOOT_LOG_CONF) != CR_SUCCESS)
        return ranges;
    RES_DES descriptor = 0, next = 0;
    RESOURCEID kind = 0;
    CONFIGRET step = ::CM_Get_Next_Res_Des(&descriptor, config, ResType_IO, &kind, 0);
    while (step == CR_SUCCESS) {
        ULONG size = 0;
        if (::CM_Get_Res_Des_Data_Size(&size, descriptor, 0) == CR_SUCCESS && size >= sizeof(IO_DES)) {
            auto data = std::make_unique<char[]>(size);
            if (::CM_Get_Res_Des_Data(descriptor, data.get(), size, 0) == CR_SUCCESS) {
                const auto* io = reinterpret_cast<const IO_DES*>(data.get());
                if (io->IOD_Alloc_Base <= 0xFFFF && io->IOD_Alloc_End <= 0xFFFF)
                    ranges.push_back({std::uint16_t(io->IOD_Alloc_Base),
                                      std::uint16_t(io->IOD_Alloc_End)});
            }
        }
        step = ::CM_Get_Next_Res_Des(&next, descriptor, ResType_IO, &kind, 0);
        ::CM_Free_Res_Des_Handle(descriptor);
        descriptor = next;
    }
    ::CM_Free_Log_Conf_Handle(config);
    return ranges;
}

} // namespace

std::vector<SystemPort> ListSystemParallelPorts()
{
    std::vector<SystemPort> ports;
    HDEVINFO devices = ::SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return ports;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const std::wstring name = PortName(devices, device);
        if (IsParallelName(name))
            ports.push_back({std::string(name.begin(), name.end()), IoRanges(device.DevInst)});
    }
    ::SetupDiDestroyDeviceInfoList(devices);
    return ports;
}

} // namespace port
