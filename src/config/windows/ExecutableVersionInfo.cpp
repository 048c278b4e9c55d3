#include "VersionInfo.h"

#include "WindowsVersion.h"

std::string ExecutableVersionInfo::Value(const std::string& key) const
{
    return port::ReadOwnVersionValue(key).value_or(std::string());
}
