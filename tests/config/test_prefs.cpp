#include <gtest/gtest.h>

#include "ProfileCases.h"
#include "TestFiles.h"
#include "uLPT.h"
#include "uUserPrefs.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const std::string kDefaultText =
    "[MiscInfos]\r\n"
    ";LPT1PortBaseAddr = $378;  // 888d\r\n"
    ";LPT2PortBaseAddr = $278;  // 632d\r\n"
    ";LPT3PortBaseAddr = $3BC;  // 956d\r\n"
    ";-------\r\n"
    ";specify address other than \"0\" for use port #004 to port #008\r\n"
    ";Note that address value must be specified in decimal format, not in hex format.\r\n"
    ";For no search on address, simply specify value \"0\"\r\n"
    ";ATTENTION ! Be carreful, do not use address not specified for LPT port !\r\n"
    ";-------\r\n"
    "[LptPortAddr]\r\n"
    "LPT001Addr=888\r\n"
    "LPT002Addr=632\r\n"
    "LPT003Addr=956\r\n"
    "LPT004Addr=0\r\n"
    "LPT005Addr=0\r\n"
    "LPT006Addr=0\r\n"
    "LPT007Addr=0\r\n"
    "LPT008Addr=0\r\n";

// Refuses every write of one key, passing the rest to the engine.
class RefuseKey final : public PrivateProfile {
public:
    RefuseKey(PrivateProfile& inner, std::string key) : inner_(inner), key_(std::move(key)) {}
    std::string ReadString(const std::string& f, const std::string& s, const std::string& k,
                           const std::string& d) override
    {
        return inner_.ReadString(f, s, k, d);
    }
    bool WriteString(const std::string& f, const std::string& s, const std::string& k,
                     const std::string& v) override
    {
        return k != key_ && inner_.WriteString(f, s, k, v);
    }

private:
    PrivateProfile& inner_;
    std::string key_;
};

class Prefs : public ::testing::Test {
protected:
    void SetUp() override
    {
        LptResetState();
        PortAddrShowHexa = false;
    }
    void TearDown() override
    {
        UseUserPrefsStorage(nullptr, nullptr);
        LptResetState();
        PortAddrShowHexa = false;
    }
    std::array<unsigned, 8> Addresses() const
    {
        std::array<unsigned, 8> a{};
        for (int n = 1; n <= 8; ++n)
            a[std::size_t(n - 1)] = LptPorts[n].Address;
        return a;
    }
    void Load(const std::string& content)
    {
        WriteFile(path, content);
        LoadUserPrefs(path);
    }

    TempDir dir;
    std::string path = dir.File("tamsel.ini");
};

TEST(PrefsNames, KeysAndDefaultText)
{
    EXPECT_EQ(PortAddrKey(1), "LPT001Addr");
    EXPECT_EQ(PortAddrKey(8), "LPT008Addr");
    EXPECT_EQ(DefaultUserPrefsText(), kDefaultText);
}

TEST_F(Prefs, FirstRunCreatesTheDefaultFileAndTheFirstCloseCompletesIt)
{
    LptPorts[2].Detected = true;
    LoadUserPrefs(path);
    EXPECT_EQ(ReadFile(path), kDefaultText);
    EXPECT_EQ(Addresses(), (std::array<unsigned, 8>{888, 632, 956, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(PortAddrShowHexa);
    EXPECT_TRUE(LptPorts[2].Detected) << "the load leaves the detection flags alone";

    SaveUserPrefs(path);
    EXPECT_EQ(ReadFile(path),
              kDefaultText + "LPTPortAddrShowHexa=0\r\n[WriteTest]\r\nCanWrite=1\r\n");

    // Later saves keep that layout and write the current values in decimal.
    LptPorts[4].Address = 0x3BC;
    PortAddrShowHexa = true;
    SaveUserPrefs(path);
    std::string expected = kDefaultText + "LPTPortAddrShowHexa=1\r\n[WriteTest]\r\nCanWrite=1\r\n";
    expected.replace(expected.find("LPT004Addr=0"), 12, "LPT004Addr=956");
    EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(Prefs, ValuesAsTheyLoad)
{
    for (auto [text, address] : kAddressTexts) {
        Load(std::string("[LptPortAddr]\r\nLPT002Addr=") + text + "\r\n");
        EXPECT_EQ(LptPorts[2].Address, address) << text;
    }
    Load("[LptPortAddr]\r\nLPT002Addr=0X278\r\n");
    SaveUserPrefs(path);
    EXPECT_NE(ReadFile(path).find("\r\nLPT002Addr=632\r\n"), std::string::npos);

    Load("[lptportaddr]\r\nlpt001addr=888\r\nlptportaddrshowhexa=1\r\n");
    EXPECT_EQ(LptPorts[1].Address, 888u);
    EXPECT_TRUE(PortAddrShowHexa);
    for (auto [text, flag] : kShowHexaTexts) {
        Load(std::string("[LptPortAddr]\r\nLPTPortAddrShowHexa=") + text + "\r\n");
        EXPECT_EQ(PortAddrShowHexa, flag) << text;
    }
}

TEST_F(Prefs, AnExistingEmptyFileIsNotReplaced)
{
    LptPorts[1].Address = 5;
    PortAddrShowHexa = true; // a missing key reads as false
    Load("");
    EXPECT_EQ(ReadFile(path), "");
    EXPECT_EQ(Addresses(), (std::array<unsigned, 8>{}));
    EXPECT_FALSE(PortAddrShowHexa);
}

// Files as users and their editors leave them: keys missing from the section, a byte-order
// mark before "[LptPortAddr]", LF line ends. The save inserts the missing keys at the end of
// their section and keeps the rest as it was.
TEST_F(Prefs, EditedFilesKeepTheirFormAtTheSave)
{
    using Lines = std::vector<const char*>;
    const auto text = [](const char* start, const char* eol, const Lines& lines) {
        std::string t = start;
        for (const char* line : lines)
            t += std::string(line) + eol;
        return t;
    };
    const Lines saved = {"[LptPortAddr]", "LPT001Addr=888", "LPT003Addr=956", "LPT002Addr=0",
                         "LPT004Addr=0",  "LPT005Addr=0",   "LPT006Addr=0",   "LPT007Addr=0",
                         "LPT008Addr=0",  "LPTPortAddrShowHexa=0", "[WriteTest]", "CanWrite=1"};
    const Lines edited = {"[LptPortAddr]", "LPT001Addr=888", "LPT003Addr=956"};
    struct Row {
        const char* name;
        const char* start;
        const char* eol;
        Lines before, after;
    };
    const Row rows[] = {
        {"missing keys", "", "\r\n",
         {"[LptPortAddr]", "LPT003Addr=956", "; end of ports", "", "[Other]", "x=1"},
         {"[LptPortAddr]", "LPT003Addr=956", "; end of ports", "LPT001Addr=888", "LPT002Addr=0",
          "LPT004Addr=0", "LPT005Addr=0", "LPT006Addr=0", "LPT007Addr=0", "LPT008Addr=0",
          "LPTPortAddrShowHexa=0", "", "[Other]", "x=1", "[WriteTest]", "CanWrite=1"}},
        {"byte-order mark", "\xEF\xBB\xBF", "\r\n", edited, saved},
        {"LF line ends", "", "\n", edited, saved},
        {"both", "\xEF\xBB\xBF", "\n", edited, saved},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Load(text(row.start, row.eol, row.before));
        EXPECT_EQ(LptPorts[3].Address, 956u);
        LptPorts[1].Address = 888;
        SaveUserPrefs(path);
        EXPECT_EQ(ReadFile(path), text(row.start, row.eol, row.after));
    }
}

TEST_F(Prefs, ReadOnlyPlaces)
{
    RefusingFs fs;
    ProfileEngine engine(fs);
    UseUserPrefsStorage(&engine, &fs);

    // A missing file in a directory that takes no new file: nothing created, all 0.
    fs.NoNewFileDirs = {dir.Path()};
    LoadUserPrefs(path);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(Addresses(), (std::array<unsigned, 8>{}));
    EXPECT_FALSE(PortAddrShowHexa);

    // A read-only file: it loads, and the save is skipped silently.
    WriteFile(path, kDefaultText);
    fs.ReadOnlyFiles = {path};
    LoadUserPrefs(path);
    EXPECT_EQ(LptPorts[3].Address, 956u);
    LptPorts[3].Address = 1;
    EXPECT_NO_THROW(SaveUserPrefs(path));
    EXPECT_EQ(ReadFile(path), kDefaultText);
}

TEST_F(Prefs, AKeyWriteFailingAfterTheTestWriteRaises)
{
    WriteFile(path, kDefaultText);
    RefuseKey refusing(DefaultProfile(), "LPT003Addr");
    UseUserPrefsStorage(&refusing, nullptr);
    LptPorts[1].Address = 1;
    LptPorts[3].Address = 3;
    try {
        SaveUserPrefs(path);
        ADD_FAILURE() << "no error raised";
    } catch (const PrefsWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Impossible d'écrire dans " + path);
        EXPECT_EQ(e.FileName(), path);
    }
    // The keys before the failing one are written, the rest of the file is whole.
    std::string expected = kDefaultText + "[WriteTest]\r\nCanWrite=1\r\n";
    expected.replace(expected.find("LPT001Addr=888"), 14, "LPT001Addr=1");
    expected.replace(expected.find("LPT002Addr=632"), 14, "LPT002Addr=0");
    EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(Prefs, AnErrorWritingTheDefaultTextStopsTheLoad)
{
    RefusingFs fs;
    ProfileEngine engine(fs);
    UseUserPrefsStorage(&engine, &fs);
    fs.FailWritesPast = 100; // the test entry fits, the default text does not
    EXPECT_THROW(
        {
            try {
                LoadUserPrefs(path);
            } catch (const PrefsWriteError& e) {
                EXPECT_EQ(std::string(e.what()), ProfileErrorText(ENOSPC));
                throw;
            }
        },
        PrefsWriteError);
    EXPECT_EQ(Addresses(), (std::array<unsigned, 8>{}));
    EXPECT_EQ(ReadFile(path), "[WriteTest]\r\nCanWrite=1\r\n") << "no half-written text";
}

#ifndef _WIN32
// The kernel's own refusal: an unprivileged user in a directory it may not write.
TEST_F(Prefs, RealReadOnlyDirectory)
{
    WriteFile(dir.File("ro.ini"), kDefaultText);
    ::chmod(dir.File("ro.ini").c_str(), 0444);
    ::chmod(dir.Path().c_str(), ::geteuid() == 0 ? 0755 : 0555);
    const int result = AsUnprivilegedUser([&] {
        LoadUserPrefs(path); // missing, cannot be created
        if (std::filesystem::exists(path) || LptPorts[1].Address != 0)
            return 1;
        LoadUserPrefs(dir.File("ro.ini")); // read-only: loads, save skipped
        if (LptPorts[1].Address != 888)
            return 2;
        LptPorts[1].Address = 7;
        try {
            SaveUserPrefs(dir.File("ro.ini"));
        } catch (...) {
            return 3;
        }
        return 0;
    });
    ASSERT_NE(result, 99) << "cannot become an unprivileged user";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(dir.File("ro.ini")), kDefaultText);
}
#endif

} // namespace
