#pragma once
// The InpOutx64 library, inpoutx64.dll, as a second way to the ports on 64-bit Windows: loaded
// at run time from the program's own folder only, by its full path, so that a library of that
// name elsewhere (the current directory, the search path) never loads. Its driver installs
// itself on the library's first run as administrator; any user can use it afterwards.
#include <cstdint>
#include <string>

#include "../OsApi.h"

namespace port {

class InpOut {
public:
    InpOut() = default;
    ~InpOut();
    InpOut(const InpOut&) = delete;
    InpOut& operator=(const InpOut&) = delete;

    // Loads the library from the folder (once; later calls give the first outcome) and checks
    // that its driver is open before any access.
    PortLibrary Open(const std::wstring& folder);
    bool IsOpen() const { return state_.State == PortLibraryState::Open; }

    std::uint8_t ReadByte(std::uint16_t port) const { return readByte_(port); }
    std::uint16_t ReadWord(std::uint16_t port) const { return readWord_(port); }
    std::uint32_t ReadDword(std::uint16_t port) const { return readDword_(port); }
    void WriteByte(std::uint16_t port, std::uint8_t value) const { writeByte_(port, value); }
    void WriteWord(std::uint16_t port, std::uint16_t value) const { writeWord_(port, value); }
    void WriteDword(std::uint16_t port, std::uint32_t value) const { writeDword_(port, value); }

    static constexpr const wchar_t* kFileName = L"inpoutx64.dll";

private:
    // The library's functions: __stdcall, the address an unsigned 16-bit value (32-bit for the
    // double-word pair), as InpOutx64 exports them.
    using IsOpenFn = int(__stdcall*)();
    using ReadByteFn = std::uint8_t(__stdcall*)(std::uint16_t);
    using WriteByteFn = void(__stdcall*)(std::uint16_t, std::uint8_t);
    using ReadWordFn = std::uint16_t(__stdcall*)(std::uint16_t);
    using WriteWordFn = void(__stdcall*)(std::uint16_t, std::uint16_t);
    using ReadDwordFn = std::uint32_t(__stdcall*)(std::uint32_t);
    using WriteDwordFn = void(__stdcall*)(std::uint32_t, std::uint32_t);

    bool tried_ = false;
    PortLibrary state_;
    void* module_ = nullptr;
    IsOpenFn isOpen_ = nullptr;
    ReadByteFn readByte_ = nullptr;
    WriteByteFn writeByte_ = nullptr;
    ReadWordFn readWord_ = nullptr;
    WriteWordFn writeWord_ = nullptr;
    ReadDwordFn readDword_ = nullptr;
    WriteDwordFn writeDword_ = nullptr;
};

} // namespace port
