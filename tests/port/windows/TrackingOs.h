#pragma once
// The real Windows calls, with a record of the service-manager handles they hand out and take
// back (so that a test can tell whether an operation closed everything it opened) and a count
// of the service calls made.
#include <map>
#include <set>
#include <string>

#include "WindowsOs.h"

namespace wintest {

class TrackingOs : public port::WindowsOs {
public:
    port::Handle OpenSCManagerA(const char* m, const char* d, std::uint32_t a) override
    {
        ++calls["OpenSCManager"];
        return Track(WindowsOs::OpenSCManagerA(m, d, a));
    }
    port::Handle CreateServiceA(port::Handle m, const char* n, const char* dn, std::uint32_t a,
                                std::uint32_t t, std::uint32_t s, std::uint32_t e,
                                const char* p) override
    {
        ++calls["CreateService"];
        lastBinaryPath = p != nullptr ? p : "";
        return Track(WindowsOs::CreateServiceA(m, n, dn, a, t, s, e, p));
    }
    port::Handle OpenServiceA(port::Handle m, const char* n, std::uint32_t a) override
    {
        ++calls["OpenService"];
        return Track(WindowsOs::OpenServiceA(m, n, a));
    }
    bool StartServiceA(port::Handle h) override
    {
        ++calls["StartService"];
        return WindowsOs::StartServiceA(h);
    }
    bool ControlService(port::Handle h, std::uint32_t c) override
    {
        ++calls["ControlService"];
        return WindowsOs::ControlService(h, c);
    }
    bool DeleteService(port::Handle h) override
    {
        ++calls["DeleteService"];
        return WindowsOs::DeleteService(h);
    }
    bool CloseServiceHandle(port::Handle h) override
    {
        if (open.erase(h) == 0)
            ++strayCloses;
        return WindowsOs::CloseServiceHandle(h);
    }
    port::Handle CreateFileA(const char* n, std::uint32_t a, std::uint32_t s, std::uint32_t c,
                             std::uint32_t f) override
    {
        ++calls["CreateFile"];
        return WindowsOs::CreateFileA(n, a, s, c, f);
    }

    void Clear()
    {
        open.clear();
        calls.clear();
        strayCloses = 0;
    }

    std::set<port::Handle> open;
    std::map<std::string, int> calls;
    std::string lastBinaryPath;
    int strayCloses = 0;

private:
    port::Handle Track(port::Handle h)
    {
        if (h != port::kNullHandle)
            open.insert(h);
        return h;
    }
};

} // namespace wintest
