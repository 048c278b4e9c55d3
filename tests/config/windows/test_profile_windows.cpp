// The same keyed accesses through our engine and through the system's private-profile
// functions (Wine's, in CI). Each row gives the result the keyed-access rules call for and,
// where the system's functions differ from them, what those give instead; every such
// difference is listed here, so a change on either side shows up.
#include <gtest/gtest.h>

#include <array>
#include <optional>

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
    std::string Expected(const std::string& rules, const std::optional<std::string>& system)
    {
        return GetParam() == Kind::System && system ? *system : rules;
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
    struct Row {
        const char* name;
        std::string content;
        const char* section;
        const char* key;
        std::string expected; // "<def>" for the default
        std::optional<std::string> system;
    };
    const std::string big(3000, 'v');
    const Row rows[] = {
        {"plain", "[S]\r\nk=v\r\n", "S", "k", "v", {}},
        {"case-insensitive names", "[lptportaddr]\r\nlpt001addr=5\r\n", "LptPortAddr",
         "LPT001Addr", "5", {}},
        {"first line wins", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "1", {}},
        {"blanks trimmed", "[S]\r\n  k \t= \t a b \t\r\n", "S", "k", "a b", {}},
        {"double quotes", "[S]\r\nk= \"a b\" \r\n", "S", "k", "a b", {}},
        {"single quotes", "[S]\r\nk='x'\r\n", "S", "k", "x", {}},
        {"unpaired quotes kept", "[S]\r\nk=\"x'\r\n", "S", "k", "\"x'", {}},
        {"lone quote kept", "[S]\r\nk=\"\r\n", "S", "k", "\"", {}},
        {"first = splits", "[S]\r\nk=a=b\r\n", "S", "k", "a=b", {}},
        {"empty value", "[S]\r\nk=\r\n", "S", "k", "", {}},
        {"2047 characters at most", "[S]\r\nk=" + big + "\r\n", "S", "k", big.substr(0, 2047), {}},
        {"missing key", "[S]\r\nj=1\r\n", "S", "k", "<def>", {}},
        {"missing section", "[T]\r\nk=1\r\n", "S", "k", "<def>", {}},
        {"key of another section", "[T]\r\nk=1\r\n[S]\r\n", "S", "k", "<def>", {}},
        {"key before any section", "k=1\r\n[S]\r\n", "S", "k", "<def>", {}},
        {"comment is no entry", "[S]\r\n;k=1\r\n", "S", "k", "<def>", {}},
        // The system takes a line without "=" as the key with no value, which hides the
        // entry below it and reads as the default. The rules: such a line is no entry.
        {"line without = is no entry", "[S]\r\nk\r\nk=2\r\n", "S", "k", "2", "<def>"},
        {"header without ]", "[S]\r\n[T\r\nk=3\r\n", "S", "k", "3", {}},
        {"blanks around the header", "  [ S ]  \r\nk=4\r\n", "S", "k", "4", {}},
        {"only the first section of a name", "[S]\r\na=1\r\n[S]\r\nk=2\r\n", "S", "k", "<def>", {}},
        {"lone LF", "[S]\nk=5\nz=6", "S", "z", "6", {}},
        {"lone CR", "[S]\rk=7\rz=8\r", "S", "k", "7", {}},
        {"no final line end", "[S]\r\nk=9", "S", "k", "9", {}},
        {"empty file", "", "S", "k", "<def>", {}},
        {"hexadecimal text as it stands", "[LptPortAddr]\r\nLPT002Addr=0x278\r\n", "LptPortAddr",
         "LPT002Addr", "0x278", {}},
        {"byte-order mark before the first line", "\xEF\xBB\xBF[S]\r\nk=1\r\n", "S", "k", "1",
         {}},
    };
    for (const Row& r : rows) {
        WriteFile(Fresh(), r.content);
        EXPECT_EQ(Profile().ReadString(path, r.section, r.key, "<def>"),
                  Expected(r.expected, r.system))
            << r.name;
    }
    EXPECT_EQ(Profile().ReadString(Windows(dir.File("none.ini")), "S", "k", "<def>"), "<def>");
}

TEST_P(BothProfiles, Writes)
{
    struct Row {
        const char* name;
        std::string before; // "<none>": no file
        const char* section;
        const char* key;
        const char* value;
        std::string after;
        std::optional<std::string> system;
    };
    const Row rows[] = {
        {"new file", "<none>", "S", "k", "1", "[S]\r\nk=1\r\n", {}},
        // The system rewrites the whole file and drops its blank lines. The rules: every other
        // line keeps its text and its place, blank lines included.
        {"replace in place", "; c\r\n\r\n[S]\r\n a = old ; x \r\nb=2\r\n\r\n", "S", "a", "9",
         "; c\r\n\r\n[S]\r\na=9\r\nb=2\r\n\r\n", "; c\r\n[S]\r\na=9\r\nb=2\r\n"},
        // The system keeps the spelling found in the file. The rules: the line is replaced by
        // the key (as written by the caller), "=" and the value. Both read back the same.
        {"caller's spelling of the key", "[s]\r\nKEY=1\r\n", "S", "key", "2", "[s]\r\nkey=2\r\n",
         "[s]\r\nKEY=2\r\n"},
        {"only the first line replaced", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "3",
         "[S]\r\nk=3\r\nk=2\r\n", {}},
        {"insert at the end of the section", "[S]\r\na=1\r\n;note\r\n\r\n[T]\r\nz=0\r\n", "S",
         "k", "5", "[S]\r\na=1\r\n;note\r\nk=5\r\n\r\n[T]\r\nz=0\r\n",
         "[S]\r\na=1\r\n;note\r\nk=5\r\n[T]\r\nz=0\r\n"}, // blank line dropped
        {"insert into an empty section", "[S]\r\n[T]\r\n", "S", "k", "5",
         "[S]\r\nk=5\r\n[T]\r\n", {}},
        {"append a section", "[T]\r\nz=0\r\n", "S", "k", "5", "[T]\r\nz=0\r\n[S]\r\nk=5\r\n", {}},
        {"append to an empty file", "", "S", "k", "5", "[S]\r\nk=5\r\n", {}},
        // The system re-spaces every line holding "=", comments included. The rules: comments
        // and other entries keep their text.
        {"comments with = kept as they are", "[S]\r\n;x = 1;  // y\r\nk=1\r\n", "S", "k", "2",
         "[S]\r\n;x = 1;  // y\r\nk=2\r\n", "[S]\r\n;x=1;  // y\r\nk=2\r\n"},
        {"value written without blanks", "[S]\r\nk = 1\r\n", "S", "k", "", "[S]\r\nk=\r\n", {}},
        {"other entries kept as they are", "[S]\r\nk=1\r\nb = 2\r\n", "S", "k", "3",
         "[S]\r\nk=3\r\nb = 2\r\n", "[S]\r\nk=3\r\nb=2\r\n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[S]\r\nk=1\r\n", "S", "k", "2",
         "\xEF\xBB\xBF[S]\r\nk=2\r\n", {}},
        // The system writes every line with CR LF. The rules: new lines take the file's own.
        {"LF file", "[S]\na=1\n", "S", "k", "5", "[S]\na=1\nk=5\n", "[S]\r\na=1\r\nk=5\r\n"},
    };
    for (const Row& r : rows) {
        Fresh();
        if (r.before != "<none>")
            WriteFile(path, r.before);
        EXPECT_TRUE(Profile().WriteString(path, r.section, r.key, r.value)) << r.name;
        EXPECT_EQ(ReadFile(path), Expected(r.after, r.system)) << r.name;
    }
}

TEST_P(BothProfiles, RefusesTextsThatWouldBreakTheFile)
{
    WriteFile(path, "[S]\r\n");
    for (auto [section, key, value] : {std::tuple{"S", "k", "a\r\nb=1"}, {"S", "k\n", "1"},
                                       {"S]", "k", "1"}, {"S", "a=b", "1"}, {"S", ";k", "1"},
                                       {"S", "", "1"}, {"S", " k", "1"}})
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
    struct Row {
        const char* value;
        unsigned address;
    };
    const Row rows[] = {{"$278", 632}, {"0x278", 632}, {"0X278", 632}, {"378h", 0},
                        {"", 0},       {"888 ; comment", 0}, {"70000", 4464}, {"-1", 65535},
                        {" 956 ", 956}, {"\"888\"", 888}, {"'632'", 632}};
    for (const Row& r : rows) {
        WriteFile(Fresh(), std::string("[lptportaddr]\r\nlpt002addr=") + r.value + "\r\n");
        LoadUserPrefs(path);
        EXPECT_EQ(LptPorts[2].Address, r.address) << r.value;
    }
    for (auto [text, flag] : {std::pair{"2", true}, {"yes", false}, {"0", false}, {"0x1", true}}) {
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
