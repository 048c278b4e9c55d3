#include "WindowsVersion.h"

#include <cstdio>
#include <windows.h>

#include "WideText.h"

namespace port {

std::string VersionBlockName(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& translations)
{
    if (translations.empty())
        return "040904E4";
    char name[9];
    std::snprintf(name, sizeof name, "%04X%04X", unsigned(translations.front().first),
                  unsigned(translations.front().second));
    return name;
}

namespace {

std::optional<std::string> ReadVersionValueOf(const std::wstring& file, const std::string& key)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0)
        return std::nullopt;
    std::vector<unsigned char> record(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, record.data()))
        return std::nullopt;

    std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
    void* table = nullptr;
    UINT tableSize = 0;
    if (VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", &table, &tableSize) &&
        table != nullptr) {
        const WORD* words = static_cast<const WORD*>(table);
        for (UINT i = 0; i + 1 < tableSize / sizeof(WORD); i += 2)
            translations.emplace_back(words[i], words[i + 1]);
    }
    std::wstring query = L"\\StringFileInfo\\" + Wide(VersionBlockName(translations)) +
                         L"\\" + Wide(key);
    void* value = nullptr;
    UINT length = 0; // in characters, the terminating zero included when there is one
    if (!VerQueryValueW(record.data(), query.c_str(), &value, &length) || value == nullptr)
        return std::nullopt;
    const wchar_t* text = static_cast<const wchar_t*>(value);
    std::size_t n = 0;
    while (n < length && text[n] != L'\0')
        ++n;
    return Utf8(std::wstring_view(text, n));
}

} // namespace

std::optional<std::string> ReadVersionValue(const std::string& path, const std::string& key)
{
    return ReadVersionValueOf(Wide(path), key);
}

std::optional<std::string> ReadOwnVersionValue(const std::string& key)
{
    const std::wstring path = ExecutablePathW();
    if (path.empty())
        return std::nullopt;
    return ReadVersionValueOf(path, key);
}

} // namespace port
