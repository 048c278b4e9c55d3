#include "VersionInfo.h"

#include <map>

namespace {

const VersionInfo* replacement = nullptr;

} // namespace

std::string CompiledVersionInfo::Value(const std::string& key) const
{
    static const std::map<std::string, std::string> values{
        {kVersionFileVersion, "2.0.0.0"},
        {kVersionProductVersion, "2.0.0.0"},
        {kVersionFileDescription, "Testeur port parallèle"},
        {kVersionProductName, "Tamsel"},
        {kVersionInternalName, "Tamsel"},
        {kVersionOriginalFilename, "Tamsel"},
        {kVersionLegalCopyright, "© 2026 Tamsel developers"},
        {kVersionComments, "Freeware"},
        {kVersionCompanyName, "Tamsel developers"},
    };
    auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

const VersionInfo& ProgramVersionInfo()
{
#ifdef _WIN32
    static const ExecutableVersionInfo program;
#else
    static const CompiledVersionInfo program;
#endif
    return replacement ? *replacement : program;
}

void UseVersionInfo(const VersionInfo* info) { replacement = info; }
