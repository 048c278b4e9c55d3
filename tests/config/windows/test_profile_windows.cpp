// The same keyed accesses through our engine and through the system's private-profile
// functions (Wine's, in CI). Each case gives the result the keyed-access rules call for; where
// the system's functions differ from them, the test lists what those give instead, so that a
// change on either side shows up.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "../ProfileCases.h"
#include "../TestFiles.h"
#include "PrivateProfile.h"
#include "Win32Profile.h"
#include "uLPT.h"
#include "uUserPrefs.h"

namespace {

enum class Kind { Engine, System };

std::string Name(const ::testing::TestParamInfo<Kind>& info)
{
    return info.param == Kind::Engine ? "OurEngine" : "SystemFunctions";
}

class BothProfiles : public ::testing::TestWithParam<Kind> {
protected:
    PrivateProfile& Profile()
    {
        if (GetParam() == Kind::Engine)
            return engine;
        return SystemProfile();
    }
    // The result expected from the implementation under test.
    std::string Expected(const std::string& rules, const std::string& system)
    {
        return GetParam() == Kind::System ? system : rules;
    }
    // The same for a case of a table; `system` holds the cases where the system differs.
    std::string Expected(const std::string& rules, const std::map<std::string, std::string>& system,
                         const std::string& name)
    {
        auto it = system.find(name);
        return Expected(rules, it != system.end() ? it->second : rules);
    }
    // A file of its own for each case: the system's functions may keep a recently used file
    // in memory and reload it only when its modification time changes, which two writes
    // within one tick of a coarse file-system clock would not do.
    std::string Fresh()
    {
        path = Windows(dir.File("t" + std::to_string(++files) + ".ini"));
        return path;
    }
    std::string Windows(std::string path)
    {
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return path;
    }

    TempDir dir;
    std::string path = Windows(dir.File("t.ini"));
    ProfileEngine engine;
    int files = 0;
};

INSTANTIATE_TEST_SUITE_P(Profiles, BothProfiles, ::testing::Values(Kind::Engine, Kind::System),
                         Name);

TEST_P(BothProfiles, Reads)
{
    const std::map<std::string, std::string> system = {
        // The system takes a line without "=" as the key with no value, which hides the
        // entry below it and reads as the default. The rules: such a line is no entry.
        {"line without = is no entry", "<def>"},
    };
    for (const ProfileReadCase& r : ProfileReadCases()) {
        WriteFile(Fresh(), r.content);
        EXPECT_EQ(Profile().ReadString(path, r.section, r.key, "<def>"),
                  Expected(r.expected, system, r.name))
            << r.name;
    }
    EXPECT_EQ(Profile().ReadString(Windows(dir.File("none.ini")), "S", "k", "<def>"), "<def>");
}

TEST_P(BothProfiles, Writes)
{
    const std::map<std::string, std::string> system = {
        // The system rewrites the whole file and drops its blank lines. The rules: every other
        // line keeps its text and its place, blank lines included.
        {"replace in place", "; c\r\n[S]\r\na=9\r\nb=2\r\n"},
        {"insert after the last line of the section",
         "[S]\r\na=1\r\n;note\r\nk=5\r\n[T]\r\nz=0\r\n"},
        {"append a section", "[T]\r\nz=0\r\n[S]\r\nk=5\r\n"},
        // The system keeps the spelling found in the file. The rules: the line is replaced by
        // the key (as written by the caller), "=" and the value. Both read back the same.
        {"caller's spelling of the key", "[s]\r\nKEY=2\r\n"},
        // The system re-spaces every line holding "=", comments included. The rules: comments
        // and other entries keep their text.
        {"comments with = kept as they are", "[S]\r\n;x=1;  // y\r\nk=2\r\n"},
        {"other entries kept as they are", "[S]\r\nk=3\r\nb=2\r\n"},
        // The system writes every line with CR LF. The rules: new lines take the file's own.
        {"LF file: insert with LF", "[S]\r\na=1\r\nk=5\r\n[T]\r\n"},
    };
    for (const ProfileWriteCase& r : ProfileWriteCases()) {
        Fresh();
        if (r.before != "<none>")
            WriteFile(path, r.before);
        EXPECT_TRUE(Profile().WriteString(path, r.section, r.key, r.value)) << r.name;
        EXPECT_EQ(ReadFile(path), Expected(r.after, system, r.name)) << r.name;
    }
}

TEST_P(BothProfiles, RefusesTextsThatWouldBreakTheFile)
{
    WriteFile(path, "[S]\r\n");
    for (auto [section, key, value] : kBreakingEntries)
        EXPECT_FALSE(Profile().WriteString(path, section, key, value)) << key << value;
    EXPECT_EQ(ReadFile(path), "[S]\r\n");
}

// The preferences module over each implementation: the first run, the first close, and the
// values as they load.
class BothPrefs : public BothProfiles {
protected:
    void SetUp() override
    {
        LptResetState();
        PortAddrShowHexa = false;
        UseUserPrefsStorage(&Profile(), nullptr);
    }
    void TearDown() override
    {
        UseUserPrefsStorage(nullptr, nullptr);
        LptResetState();
        PortAddrShowHexa = false;
    }
};

INSTANTIATE_TEST_SUITE_P(Profiles, BothPrefs, ::testing::Values(Kind::Engine, Kind::System), Name);

TEST_P(BothPrefs, FirstRunAndFirstClose)
{
    LoadUserPrefs(path);
    const std::string defaults = DefaultUserPrefsText();
    EXPECT_EQ(ReadFile(path), defaults);
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(LptPorts[n].Address, (std::array<unsigned, 8>{888, 632, 956})[std::size_t(n - 1)]);

    SaveUserPrefs(path);
    // The system re-spaces the three commented addresses of the default text when it rewrites
    // the file for the first key written. The rules: comments keep their text.
    std::string respaced = defaults;
    for (const char* line : {";LPT1PortBaseAddr = $378;", ";LPT2PortBaseAddr = $278;",
                             ";LPT3PortBaseAddr = $3BC;"}) {
        std::string from = line, to = line;
        to.replace(to.find(" = "), 3, "=");
        respaced.replace(respaced.find(from), from.size(), to);
    }
    const std::string tail = "LPTPortAddrShowHexa=0\r\n[WriteTest]\r\nCanWrite=1\r\n";
    EXPECT_EQ(ReadFile(path), Expected(defaults + tail, respaced + tail));

    // Both read the file back the same.
    LptResetState();
    LoadUserPrefs(path);
    EXPECT_EQ(LptPorts[1].Address, 888u);
    EXPECT_EQ(LptPorts[3].Address, 956u);
}

TEST_P(BothPrefs, ValuesAsTheyLoad)
{
    for (auto [text, address] : kAddressTexts) {
        WriteFile(Fresh(), std::string("[lptportaddr]\r\nlpt002addr=") + text + "\r\n");
        LoadUserPrefs(path);
        EXPECT_EQ(LptPorts[2].Address, address) << text;
    }
    for (auto [text, flag] : kShowHexaTexts) {
        WriteFile(Fresh(), std::string("[LptPortAddr]\r\nLPTPortAddrShowHexa=") + text + "\r\n");
        LoadUserPrefs(path);
        EXPECT_EQ(PortAddrShowHexa, flag) << text;
    }
}

TEST_P(BothPrefs, MissingKeysAreInsertedAtTheEndOfTheirSection)
{
    WriteFile(path, "[LptPortAddr]\r\nLPT003Addr=956\r\n; end of ports\r\n\r\n[Other]\r\nx=1\r\n");
    LoadUserPrefs(path);
    LptPorts[1].Address = 888;
    SaveUserPrefs(path);
    const std::string keys = "LPT001Addr=888\r\nLPT002Addr=0\r\nLPT004Addr=0\r\nLPT005Addr=0\r\n"
                             "LPT006Addr=0\r\nLPT007Addr=0\r\nLPT008Addr=0\r\n"
                             "LPTPortAddrShowHexa=0\r\n";
    EXPECT_EQ(ReadFile(path),
              Expected("[LptPortAddr]\r\nLPT003Addr=956\r\n; end of ports\r\n" + keys +
                           "\r\n[Other]\r\nx=1\r\n[WriteTest]\r\nCanWrite=1\r\n",
                       // the blank line before [Other] dropped
                       "[LptPortAddr]\r\nLPT003Addr=956\r\n; end of ports\r\n" + keys +
                           "[Other]\r\nx=1\r\n[WriteTest]\r\nCanWrite=1\r\n"));
}

} // namespace
