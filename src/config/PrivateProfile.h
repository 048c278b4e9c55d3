#pragma once
// Keyed access to an INI-style file: one key of one section per call, the file opened by name
// for that single access. The semantics are those of the Windows private-profile functions
// (GetPrivateProfileStringA, WritePrivateProfileStringA), so an implementation over them can
// replace the engine below.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ProfileFs.h"

class PrivateProfile {
public:
    virtual ~PrivateProfile() = default;
    // The value of the first line of key in section; defaultValue when the file, the section
    // or the key is missing.
    virtual std::string ReadString(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;
    // Replaces or adds the line "key=value"; false when the write is refused.
    virtual bool WriteString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

// Longest value a read returns.
constexpr std::size_t kProfileMaxValue = 2047;

// Our own engine over a file system.
//
// Reading: section and key names compare without regard to ASCII case; lines end with CR LF,
// LF or a lone CR; a UTF-8 byte-order mark at the very start of the file belongs to no line;
// a line whose first non-blank character is ";" is a comment; "[name]" opens
// a section (a "[" without "]" is an ordinary line); "key=value" is an entry, split at the
// first "="; a line without "=" is no entry. Only the first section of a name is used. The
// value has its blanks (space, tab) trimmed at both ends, one pair of enclosing ' or " removed,
// and at most kProfileMaxValue characters. Memory use is bounded whatever the file holds.
//
// Writing: an existing entry's line is replaced in place by "key=value" (its line end kept);
// a missing key is inserted after the last non-blank line of its section; a missing section
// is appended at the end of the file, then its key's line; a missing file is created. Every
// other byte is kept, a byte-order mark included. The lines a write adds end like the file's
// first line (CR LF in a file that has none). The new content goes to a temporary file in the
// same directory, which then takes the old file's permissions and is renamed over it; when the
// directory refuses a new file but the file itself may be written, the file is rewritten in
// place. Writes of one file wait for each other across processes, from the read of the old
// content to the rename of the new. A temporary file (named after its writing process) that a
// stopped process left behind is removed by the next write of the same file, once no live
// writer holds it. A file the
// user may not write is never replaced. Names or values holding a line end, and names that
// would not read back as written, are refused.
class ProfileEngine final : public PrivateProfile {
public:
    explicit ProfileEngine(ProfileFs& fs = RealFs()) : fs_(fs) {}

    std::string ReadString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;

private:
    ProfileFs& fs_;
};

// The process-wide engine over the real file system.
PrivateProfile& DefaultProfile();

// Replaces the whole content of a file the same safe way as a key write (temporary file
// renamed over, in place when the directory refuses, never a file the user may not write).
// On failure returns false and sets errorText to the system's text for the error.
bool ProfileReplaceFile(ProfileFs& fs, const std::string& path, std::string_view content,
                        std::string& errorText);

// ---- Value conversions ----

// Converts a number text: optional leading blanks, then either an optional "+" or "-" and
// decimal digits within the signed 32-bit range, or one of the prefixes "$", "x", "X", "0x",
// "0X" and one to eight hexadecimal digits of either case taken as a 32-bit pattern (no sign).
// Nothing may follow the digits. Empty when the text does not convert.
std::optional<std::int32_t> ProfileConvertInt(std::string_view text);

// An integer value text as the integer read takes it: a text longer than two characters that
// begins with "0x" or "0X" has those two replaced by "$", then it converts; defaultValue when
// it does not.
std::int32_t ProfileIntFromText(std::string_view text, std::int32_t defaultValue);
// A boolean value text: the integer read with default 1 for true and 0 for false, not 0.
bool ProfileBoolFromText(std::string_view text, bool defaultValue);
std::string ProfileIntToText(std::int64_t value);
std::string ProfileBoolToText(bool value);

std::int32_t ReadProfileInteger(PrivateProfile& profile, const std::string& file,
                                const std::string& section, const std::string& key,
                                std::int32_t defaultValue);
bool ReadProfileBool(PrivateProfile& profile, const std::string& file, const std::string& section,
                     const std::string& key, bool defaultValue);
bool WriteProfileInteger(PrivateProfile& profile, const std::string& file,
                         const std::string& section, const std::string& key, std::int64_t value);
bool WriteProfileBool(PrivateProfile& profile, const std::string& file, const std::string& section,
                      const std::string& key, bool value);
