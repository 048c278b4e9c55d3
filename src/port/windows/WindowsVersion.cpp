#include "WindowsVersion.h"

#include <cstdio>
#include <windows.h>

namespace port {

namespace {

std::wstring Widen(const std::string& text, UINT codePage)
{
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), n);
    return wide;
}

std::string ToUtf8(const wchar_t* text, std::size_t length)
{
    if (length == 0)
        return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, int(length), out.data(), n, nullptr, nullptr);
    return out;
}

} // namespace

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
    std::wstring query = L"\\StringFileInfo\\" + Widen(VersionBlockName(translations), CP_UTF8) +
                         L"\\" + Widen(key, CP_UTF8);
    void* value = nullptr;
    UINT length = 0; // in characters, the terminating zero included when there is one
    if (!VerQueryValueW(record.data(), query.c_str(), &value, &length) || value == nullptr)
        return std::nullopt;
    const wchar_t* text = static_cast<const wchar_t*>(value);
    std::size_t n = 0;
    while (n < length && text[n] != L'\0')
        ++n;
    return ToUtf8(text, n);
}

} // namespace

std::optional<std::string> ReadVersionValue(const std::string& path, const std::string& key)
{
    // The file name is in the system's 8-bit code page (as the executable's path comes); the
    // record itself is read through the wide functions, so its texts do not depend on it.
    return ReadVersionValueOf(Widen(path, CP_ACP), key);
}

std::optional<std::string> ReadOwnVersionValue(const std::string& key)
{
    // The buffer grows until the whole path fits (the call truncates silently otherwise).
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n == 0)
            return std::nullopt;
        if (n < path.size()) {
            path.resize(n);
            return ReadVersionValueOf(path, key);
        }
        if (path.size() >= 32768)
            return std::nullopt;
        path.resize(path.size() * 2);
    }
}

} // namespace port
