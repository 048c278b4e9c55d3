#include "Win32Profile.h"

#include <vector>
#include <windows.h>

namespace {

bool HasLineEndOrNul(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool CleanName(const std::string& name)
{
    return !name.empty() && !HasLineEndOrNul(name) && !IsBlank(name.front()) &&
           !IsBlank(name.back());
}

} // namespace

std::string Win32Profile::ReadString(const std::string& file, const std::string& section,
                                     const std::string& key, const std::string& defaultValue)
{
    // Room for the longest value and its terminating zero; the call cuts longer values.
    std::vector<char> buffer(kProfileMaxValue + 1);
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                       buffer.data(), DWORD(buffer.size()), file.c_str());
    return std::string(buffer.data(), n);
}

bool Win32Profile::WriteString(const std::string& file, const std::string& section,
                               const std::string& key, const std::string& value)
{
    if (!CleanName(section) || section.find(']') != std::string::npos)
        return false;
    if (!CleanName(key) || key.find('=') != std::string::npos || key.front() == ';' ||
        key.front() == '[')
        return false;
    if (HasLineEndOrNul(value))
        return false;
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                      file.c_str()) != FALSE;
}

Win32Profile& SystemProfile()
{
    static Win32Profile profile;
    return profile;
}
