#pragma once
// Keyed access through the system's own private-profile functions (GetPrivateProfileStringA,
// WritePrivateProfileStringA), for Windows builds.
#include "PrivateProfile.h"

class Win32Profile final : public PrivateProfile {
public:
    std::string ReadString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    // Refuses, as our engine does, names or values that the system would write into the file
    // as text that does not read back as written (line ends, "=" in a key, a "]" in a section
    // name, a key that reads as a comment, blanks around a name); the system is not asked then.
    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
};

// The process-wide instance.
Win32Profile& SystemProfile();
