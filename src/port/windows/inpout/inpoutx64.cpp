// A stand-in for the InpOutx64 library, for machines without a parallel port (and for Wine): a
// library of the same name and functions whose ports are a model of one parallel port at 888
// with a loopback plug (the simulated bench); every other address reads 0xFF and ignores
// writes. The model lives in a named shared memory block, so that every process that loads the
// stand-in sees the same registers: a test looks at what the program under test wrote by
// loading it too.
//
// Its driver reads as open, unless the environment variable TAMSEL_STANDIN_DRIVER is "closed"
// (the library present with its driver not installed yet).
#include <windows.h>

#include <cstring>
#include <new>

#include "BenchPort.h"

namespace {

bench::BenchPort* Model()
{
    static bench::BenchPort* model = [] {
        HANDLE block = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(bench::BenchPort), L"Local\\TamselInpOutStandin");
        const bool created = ::GetLastError() != ERROR_ALREADY_EXISTS;
        void* view = ::MapViewOfFile(block, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(bench::BenchPort));
        return created ? new (view) bench::BenchPort() : static_cast<bench::BenchPort*>(view);
    }();
    return model;
}

std::uint8_t Read(std::uint32_t address) { return Model()->Read(std::uint16_t(address)); }
void Write(std::uint32_t address, std::uint8_t value) { Model()->Write(std::uint16_t(address), value); }

} // namespace

extern "C" {

__declspec(dllexport) BOOL __stdcall IsInpOutDriverOpen()
{
    char driver[8] = {};
    ::GetEnvironmentVariableA("TAMSEL_STANDIN_DRIVER", driver, sizeof driver);
    return std::strcmp(driver, "closed") != 0;
}

__declspec(dllexport) UCHAR __stdcall DlPortReadPortUchar(USHORT port) { return Read(port); }
__declspec(dllexport) void __stdcall DlPortWritePortUchar(USHORT port, UCHAR value) { Write(port, value); }

// Wider accesses touch the consecutive addresses, lowest byte first.
__declspec(dllexport) USHORT __stdcall DlPortReadPortUshort(USHORT port)
{
    return USHORT(Read(port) | Read(port + 1u) << 8);
}
__declspec(dllexport) void __stdcall DlPortWritePortUshort(USHORT port, USHORT value)
{
    Write(port, UCHAR(value));
    Write(port + 1u, UCHAR(value >> 8));
}
__declspec(dllexport) ULONG __stdcall DlPortReadPortUlong(ULONG port)
{
    ULONG value = 0;
    for (unsigned i = 0; i < 4; ++i)
        value |= ULONG(Read(port + i)) << (8 * i);
    return value;
}
__declspec(dllexport) void __stdcall DlPortWritePortUlong(ULONG port, ULONG value)
{
    for (unsigned i = 0; i < 4; ++i)
        Write(port + i, UCHAR(value >> (8 * i)));
}

} // extern "C"
