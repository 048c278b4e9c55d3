#pragma once
// The program's persistent settings: the base addresses of LPT1 to LPT8 and the hexadecimal
// display preference of the options dialog, in an INI-style file beside the executable. Loaded
// once at start-up (creating the file with its default text when it is missing) and saved once
// at the end of the close sequence.
#include <array>
#include <stdexcept>
#include <string>

#include "PrivateProfile.h"

// The options dialog shows the port addresses in hexadecimal.
extern bool PortAddrShowHexa;

inline constexpr char kPrefsSectionLptPortAddr[] = "LptPortAddr";
inline constexpr char kPrefsSectionWriteTest[] = "WriteTest";
inline constexpr char kPrefsKeyCanWrite[] = "CanWrite";
inline constexpr char kPrefsKeyPortAddrShowHexa[] = "LPTPortAddrShowHexa";
inline constexpr char kPrefsPortAddrKeyFormat[] = "LPT%.3dAddr";

// The key of port n (1 to 8): "LPT001Addr" to "LPT008Addr".
std::string PortAddrKey(int n);

// The text a missing file is created with, one entry a line, each ended by CR LF in the file.
extern const std::array<const char*, 19> kDefaultUserPrefsLines;
std::string DefaultUserPrefsText();

// A write of the file that failed after its test write succeeded.
class PrefsWriteError : public std::runtime_error {
public:
    PrefsWriteError(const std::string& message, const std::string& fileName)
        : std::runtime_error(message), fileName_(fileName)
    {
    }
    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
};

// Fills the addresses of the eight port table entries and PortAddrShowHexa from the file,
// first creating it with the default text when no file of that name exists. Throws
// PrefsWriteError when writing the default text fails after a successful test write.
void LoadUserPrefs(const std::string& FileName);
// Writes the test entry, the eight addresses and the flag. Does nothing when the test write
// fails; throws PrefsWriteError ("Impossible d'écrire dans <path>") when a later write fails.
void SaveUserPrefs(const std::string& FileName);
void WriteDefaultUserPrefs(const std::string& FileName);
// Writes "CanWrite=1" in section WriteTest; true when that write succeeded.
bool CanWriteUserPrefs(const std::string& FileName);

// Replaces the keyed access and the file system the module uses (tests, another platform's
// private-profile functions); null restores our engine over the real file system.
void UseUserPrefsStorage(PrivateProfile* profile, ProfileFs* fs);
