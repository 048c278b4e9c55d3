#include "InpOut.h"

#include <windows.h>

namespace port {

namespace {

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return fn != nullptr;
}

} // namespace

InpOut::~InpOut()
{
    if (module_ != nullptr)
        ::FreeLibrary(static_cast<HMODULE>(module_));
}

PortLibrary InpOut::Open(const std::wstring& folder)
{
    if (tried_)
        return state_;
    tried_ = true;
    const std::wstring path = folder + L"\\" + kFileName;
    // The full path, and the library's own folder for its dependencies: no search of the
    // current directory or of the search path.
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        const DWORD error = ::GetLastError();
        const bool absent = ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
        state_ = {absent ? PortLibraryState::Absent : PortLibraryState::Unloadable, error};
        return state_;
    }
    module_ = module;
    const bool complete = Resolve(module, "IsInpOutDriverOpen", isOpen_) &&
                          Resolve(module, "DlPortReadPortUchar", readByte_) &&
                          Resolve(module, "DlPortWritePortUchar", writeByte_) &&
                          Resolve(module, "DlPortReadPortUshort", readWord_) &&
                          Resolve(module, "DlPortWritePortUshort", writeWord_) &&
                          Resolve(module, "DlPortReadPortUlong", readDword_) &&
                          Resolve(module, "DlPortWritePortUlong", writeDword_);
    if (!complete)
        state_ = {PortLibraryState::Incomplete, 0};
    else if (isOpen_() == 0)
        state_ = {PortLibraryState::DriverClosed, 0};
    else
        state_ = {PortLibraryState::Open, 0};
    return state_;
}

} // namespace port
