#include "PortClaims.h"

#include <string>
#include <windows.h>

namespace port {

PortClaims::~PortClaims()
{
    // Closing the last handle of an owned mutex abandons it: the next claimant then owns it.
    for (void* mutex : mutexes_)
        ::CloseHandle(static_cast<HANDLE>(mutex));
}

bool PortClaims::Claim(std::uint32_t address)
{
    const std::uint32_t block = (address & 0xFFFF) >> kBlockShift;
    if (ours_.test(block))
        return true;
    // The global namespace, so that copies in other sessions of the machine see it too.
    static const char digits[] = "0123456789ABCDEF";
    const std::uint32_t first = block << kBlockShift;
    std::wstring name = L"Global\\Tamsel.Port.";
    for (int shift = 12; shift >= 0; shift -= 4)
        name += wchar_t(digits[(first >> shift) & 0xF]);
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) // the name is taken by an object this user may not open: held
        return false;
    const DWORD wait = ::WaitForSingleObject(mutex, 0);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        ::CloseHandle(mutex);
        return false;
    }
    mutexes_.push_back(mutex);
    ours_.set(block);
    return true;
}

} // namespace port
