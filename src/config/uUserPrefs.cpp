#include "uUserPrefs.h"

#include <cstdint>
#include <cstdio>

#include "uLPT.h"

bool PortAddrShowHexa = false;

const std::array<const char*, 19> kDefaultUserPrefsLines{{
    "[MiscInfos]",
    ";LPT1PortBaseAddr = $378;  // 888d",
    ";LPT2PortBaseAddr = $278;  // 632d",
    ";LPT3PortBaseAddr = $3BC;  // 956d",
    ";-------",
    ";specify address other than \"0\" for use port #004 to port #008",
    ";Note that address value must be specified in decimal format, not in hex format.",
    ";For no search on address, simply specify value \"0\"",
    ";ATTENTION ! Be carreful, do not use address not specified for LPT port !",
    ";-------",
    "[LptPortAddr]",
    "LPT001Addr=888",
    "LPT002Addr=632",
    "LPT003Addr=956",
    "LPT004Addr=0",
    "LPT005Addr=0",
    "LPT006Addr=0",
    "LPT007Addr=0",
    "LPT008Addr=0",
}};

namespace {

PrivateProfile* profileOverride = nullptr;
ProfileFs* fsOverride = nullptr;

PrivateProfile& Profile() { return profileOverride ? *profileOverride : DefaultProfile(); }
ProfileFs& Fs() { return fsOverride ? *fsOverride : RealFs(); }

std::string CannotWriteMessage(const std::string& fileName)
{
    return "Impossible d'écrire dans " + fileName;
}

} // namespace

std::string PortAddrKey(int n)
{
    char key[32];
    std::snprintf(key, sizeof key, kPrefsPortAddrKeyFormat, n);
    return key;
}

std::string DefaultUserPrefsText()
{
    std::string text;
    for (const char* line : kDefaultUserPrefsLines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void UseUserPrefsStorage(PrivateProfile* profile, ProfileFs* fs)
{
    profileOverride = profile;
    fsOverride = fs;
}

bool CanWriteUserPrefs(const std::string& FileName)
{
    return WriteProfileBool(Profile(), FileName, kPrefsSectionWriteTest, kPrefsKeyCanWrite, true);
}

void WriteDefaultUserPrefs(const std::string& FileName)
{
    if (!CanWriteUserPrefs(FileName))
        return;
    // The whole text replaces the file at once (the test entry just written goes with it),
    // so a failing write leaves the previous content rather than part of the text.
    std::string errorText;
    if (!ProfileReplaceFile(Fs(), FileName, DefaultUserPrefsText(), errorText))
        throw PrefsWriteError(errorText, FileName);
}

void LoadUserPrefs(const std::string& FileName)
{
    if (!Fs().Stat(FileName).Exists)
        WriteDefaultUserPrefs(FileName);
    for (int n = 1; n <= kLptPortCount; ++n) {
        const std::int32_t value =
            ReadProfileInteger(Profile(), FileName, kPrefsSectionLptPortAddr, PortAddrKey(n), 0);
        LptPorts[n].Address = static_cast<std::uint16_t>(static_cast<std::uint32_t>(value));
    }
    PortAddrShowHexa =
        ReadProfileBool(Profile(), FileName, kPrefsSectionLptPortAddr, kPrefsKeyPortAddrShowHexa,
                        false);
}

void SaveUserPrefs(const std::string& FileName)
{
    if (!CanWriteUserPrefs(FileName))
        return;
    for (int n = 1; n <= kLptPortCount; ++n)
        if (!WriteProfileInteger(Profile(), FileName, kPrefsSectionLptPortAddr, PortAddrKey(n),
                                 LptPorts[n].Address))
            throw PrefsWriteError(CannotWriteMessage(FileName), FileName);
    if (!WriteProfileBool(Profile(), FileName, kPrefsSectionLptPortAddr, kPrefsKeyPortAddrShowHexa,
                          PortAddrShowHexa))
        throw PrefsWriteError(CannotWriteMessage(FileName), FileName);
}
