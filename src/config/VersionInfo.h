#pragma once
// The program's version record: the values the about window shows, behind a small interface so
// that a build with a real version resource can read them from the executable instead.
#include <string>

inline constexpr char kVersionProductVersion[] = "ProductVersion";
inline constexpr char kVersionFileVersion[] = "FileVersion";
inline constexpr char kVersionFileDescription[] = "FileDescription";
inline constexpr char kVersionProductName[] = "ProductName";
inline constexpr char kVersionInternalName[] = "InternalName";
inline constexpr char kVersionOriginalFilename[] = "OriginalFilename";
inline constexpr char kVersionLegalCopyright[] = "LegalCopyright";
inline constexpr char kVersionComments[] = "Comments";
inline constexpr char kVersionCompanyName[] = "CompanyName";

class VersionInfo {
public:
    virtual ~VersionInfo() = default;
    // The value of a key of the record's string block; empty when the record or the key is
    // missing.
    virtual std::string Value(const std::string& key) const = 0;
};

// The values compiled into the program (the Linux build, which has no version resources).
class CompiledVersionInfo final : public VersionInfo {
public:
    std::string Value(const std::string& key) const override;
};

// The running executable's own version record, read through the system's version functions
// (the Windows build, which carries the record).
class ExecutableVersionInfo final : public VersionInfo {
public:
    std::string Value(const std::string& key) const override;
};

// The record the program uses: the executable's own where the platform has one, else the
// compiled values. Tests may replace it (null restores the program's).
const VersionInfo& ProgramVersionInfo();
void UseVersionInfo(const VersionInfo* info);
