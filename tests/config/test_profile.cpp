#include <gtest/gtest.h>

#include <random>

#include "PrivateProfile.h"
#include "ProfileCases.h"
#include "TestFiles.h"

#ifndef _WIN32
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

TEST(ProfileConversion, IntegerTextsAndTheirValues)
{
    struct Row {
        const char* text;
        std::int32_t expected; // with default -7
    };
    const Row rows[] = {
        {"888", 888},           {"+12", 12},         {"-1", -1},
        {"0", 0},               {"  42", 42},        {"$278", 632},
        {"0x278", 632},         {"0X278", 632},      {"x3bc", 956},
        {"X3BC", 956},          {"$FFFFFFFF", -1},   {"0x80000000", INT32_MIN},
        {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"2147483648", -7},     {"-2147483649", -7}, {"99999999999999999999", -7},
        {"$123456789", -7},     {"$", -7},           {"0x", -7},
        {"0X", -7},             {"x", -7},           {"", -7},
        {"378h", -7},           {"888 ; comment", -7}, {"12 ", -7},
        {"+", -7},              {"-", -7},           {"-$10", -7},
        {"$-10", -7},           {"0x0x10", -7},      {"$g", -7},
        {"yes", -7},            {"1e3", -7},
        {"0x10", 16},           {"$00000010", 16},   {"007", 7},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ProfileIntFromText(r.text, -7), r.expected) << '"' << r.text << '"';
    EXPECT_EQ(ProfileIntFromText(std::string_view("1\0", 2), -7), -7) << "NUL after the digits";
}

TEST(ProfileConversion, BooleansAndWrittenTexts)
{
    EXPECT_TRUE(ProfileBoolFromText("2", false));
    EXPECT_TRUE(ProfileBoolFromText("-1", false));
    EXPECT_FALSE(ProfileBoolFromText("0", true));
    EXPECT_FALSE(ProfileBoolFromText("yes", false));
    EXPECT_TRUE(ProfileBoolFromText("yes", true));
    EXPECT_TRUE(ProfileBoolFromText("", true));
    EXPECT_EQ(ProfileIntToText(65535), "65535");
    EXPECT_EQ(ProfileIntToText(-3), "-3");
    EXPECT_EQ(ProfileBoolToText(true), "1");
    EXPECT_EQ(ProfileBoolToText(false), "0");
}

class ProfileFile : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.File("t.ini");
    ProfileEngine engine;
};

TEST_F(ProfileFile, ReadsFollowTheKeyedAccessRules)
{
    std::vector<ProfileReadCase> rows = ProfileReadCases();
    rows.insert(rows.end(), {
        {"NUL bytes kept", std::string("[S]\r\nk=a\0b\r\n", 12), "S", "k", std::string("a\0b", 3)},
        {"byte-order mark elsewhere is text", "[T]\r\n\xEF\xBB\xBF[S]\r\nk=1\r\n", "S", "k",
         "<def>"},
        {"part of a byte-order mark is text", "\xEF\xBB[S]\r\nk=1\r\n", "S", "k", "<def>"},
    });
    for (const ProfileReadCase& r : rows) {
        WriteFile(path, r.content);
        EXPECT_EQ(engine.ReadString(path, r.section, r.key, "<def>"), r.expected) << r.name;
    }
    EXPECT_EQ(engine.ReadString(dir.File("none.ini"), "S", "k", "<def>"), "<def>");
    EXPECT_EQ(engine.ReadString(dir.Path(), "S", "k", "<def>"), "<def>") << "a directory";
}

TEST_F(ProfileFile, AnyContentReadsWithoutHarm)
{
    // A line of several megabytes, then the key.
    std::string huge = "[S]\r\n" + std::string(3 * 1024 * 1024, 'x') + "\r\nk=1\r\n";
    WriteFile(path, huge);
    EXPECT_EQ(engine.ReadString(path, "S", "k", "d"), "1");
    // A quoted value longer than any buffer keeps its quote rule and its 2047 limit.
    WriteFile(path, "[S]\r\nk=\"" + std::string(200000, 'q') + "\"\r\n");
    EXPECT_EQ(engine.ReadString(path, "S", "k", "d"), std::string(2047, 'q'));

    std::mt19937 random(1234);
    for (int round = 0; round < 50; ++round) {
        std::string noise(std::size_t(random() % 3000), '\0');
        for (char& c : noise)
            c = char(random());
        WriteFile(path, "[S]\r\n" + noise);
        (void)engine.ReadString(path, "S", "k", "d");
        ASSERT_TRUE(engine.WriteString(path, "S", "k", "1"));
        EXPECT_EQ(engine.ReadString(path, "S", "k", "d"), "1") << "round " << round;
    }
}

TEST_F(ProfileFile, WritesKeepEveryOtherByte)
{
    std::vector<ProfileWriteCase> rows = ProfileWriteCases();
    rows.insert(rows.end(), {
        {"insert after an unterminated last line", "[S]\r\na=1", "S", "k", "5",
         "[S]\r\na=1\r\nk=5\r\n"},
        {"append after an unterminated line", ";only", "S", "k", "5", ";only\r\n[S]\r\nk=5\r\n"},
        {"other line ends kept", "[S]\na=1\rk=2\n[T]\n", "S", "k", "3", "[S]\na=1\rk=3\n[T]\n"},
        {"unterminated key line keeps no line end", "[S]\r\nk=1", "S", "k", "22", "[S]\r\nk=22"},
        {"binary lines elsewhere kept", std::string("\xff\0\x01\r\n[S]\r\n", 10), "S", "k", "1",
         std::string("\xff\0\x01\r\n[S]\r\nk=1\r\n", 15)},
        {"insert after a first section behind the mark", "\xEF\xBB\xBF[S]\r\n", "S", "k", "5",
         "\xEF\xBB\xBF[S]\r\nk=5\r\n"},
        {"append behind a lone mark", "\xEF\xBB\xBF", "S", "k", "5", "\xEF\xBB\xBF[S]\r\nk=5\r\n"},
        {"LF file: append with LF", "[T]\nz=0", "S", "k", "5", "[T]\nz=0\n[S]\nk=5\n"},
        {"CR file: append with CR", "\xEF\xBB\xBF[T]\rz=0\r", "S", "k", "5",
         "\xEF\xBB\xBF[T]\rz=0\r[S]\rk=5\r"},
        {"mixed file: the first line end", "[S]\na=1\r\n", "S", "k", "5",
         "[S]\na=1\r\nk=5\n"},
    });
    for (const ProfileWriteCase& r : rows) {
        std::filesystem::remove(path);
        if (r.before != "<none>")
            WriteFile(path, r.before);
        EXPECT_TRUE(engine.WriteString(path, r.section, r.key, r.value)) << r.name;
        EXPECT_EQ(ReadFile(path), r.after) << r.name;
        EXPECT_EQ(dir.Entries(), std::set<std::string>{"t.ini"}) << r.name << ": temporary left";
    }
}

TEST_F(ProfileFile, FileNamesAreUtf8)
{
    // A folder or file name with accents, as a user's folder often has on Windows.
    const std::string name = "Préférences é.ini";
    const std::string file = dir.File(name);
    ASSERT_TRUE(engine.WriteString(file, "S", "k", "1"));
    std::ofstream(std::filesystem::path(dir.Path()) / u8"Préférences é.ini.tmp1-2") << "x";
    // replaced through a temporary file; the one a stopped save abandoned goes
    ASSERT_TRUE(engine.WriteString(file, "S", "k", "2"));
    EXPECT_EQ(engine.ReadString(file, "S", "k", "none"), "2");
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        const std::u8string n = e.path().filename().u8string();
        names.emplace_back(n.begin(), n.end());
    }
    EXPECT_EQ(names, std::vector<std::string>{name});
}

TEST_F(ProfileFile, RefusesTextsThatWouldBreakTheFile)
{
    WriteFile(path, "[S]\r\n");
    for (auto [section, key, value] : kBreakingEntries)
        EXPECT_FALSE(engine.WriteString(path, section, key, value)) << key << value;
    EXPECT_EQ(ReadFile(path), "[S]\r\n");
}

#ifndef _WIN32
TEST_F(ProfileFile, WriteKeepsPermissionsAndFollowsALink)
{
    WriteFile(path, "[S]\r\nk=1\r\n");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(engine.WriteString(path, "S", "k", "2"));
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const std::string link = dir.File("link.ini");
    std::filesystem::create_symlink(path, link);
    ASSERT_TRUE(engine.WriteString(link, "S", "k", "3"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(path), "[S]\r\nk=3\r\n");
}
#endif

TEST_F(ProfileFile, RefusalsOfTheFileSystem)
{
    RefusingFs fs;
    ProfileEngine refusing(fs);
    const std::string original = "; keep\r\n[S]\r\nk=1\r\n";

    // The directory takes no new file but the file may be written: rewritten in place.
    WriteFile(path, original);
    fs.NoNewFileDirs = {dir.Path()};
    EXPECT_TRUE(refusing.WriteString(path, "S", "k", "2"));
    EXPECT_EQ(ReadFile(path), "; keep\r\n[S]\r\nk=2\r\n");
    EXPECT_EQ(fs.InPlaceWrites, 1);

    // Neither the directory nor the file: refused, nothing changes.
    fs.ReadOnlyFiles = {path};
    EXPECT_FALSE(refusing.WriteString(path, "S", "k", "3"));
    EXPECT_EQ(ReadFile(path), "; keep\r\n[S]\r\nk=2\r\n");

    // A file the user may not write is never replaced, even where the directory allows it.
    fs.NoNewFileDirs.clear();
    EXPECT_FALSE(refusing.WriteString(path, "S", "k", "4"));
    EXPECT_EQ(ReadFile(path), "; keep\r\n[S]\r\nk=2\r\n");

    // No file and a directory that refuses: nothing is created.
    fs.NoNewFileDirs = {dir.Path()};
    EXPECT_FALSE(refusing.WriteString(dir.File("new.ini"), "S", "k", "1"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.ini")));

    // A write failing half-way (disk full) leaves the old file whole and no temporary.
    fs.ReadOnlyFiles.clear();
    fs.NoNewFileDirs.clear();
    WriteFile(path, original);
    fs.FailWritesPast = 10;
    EXPECT_FALSE(refusing.WriteString(path, "S", "k", "5"));
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"t.ini"});

    std::string error;
    EXPECT_FALSE(ProfileReplaceFile(fs, path, std::string(100, 'z'), error));
    EXPECT_EQ(error, ProfileErrorText(ENOSPC));
    EXPECT_EQ(ReadFile(path), original);
}

TEST_F(ProfileFile, AWriteRemovesOnlyTheTemporaryFilesOfWritesThatNeverEnded)
{
    const std::set<std::string> abandoned = {"t.ini.tmp1-2",
                                             "t.ini.tmp18446744073709551615-4294967295"};
    // Names that only look alike are the user's own.
    std::set<std::string> own = {"t.ini.tmp",      "t.ini.tmp1",     "t.ini.tmp1-",
                                 "t.ini.tmp-2",    "t.ini.tmp1-2.bak", "t.ini.tmpa-2",
                                 "t.ini.tmp1-2-3", "t.ini.tmp123456789012345678901-1",
                                 "t.ini.bak",      "t.ini~",         "u.ini.tmp1-2",
                                 "xt.ini.tmp1-2"};
    WriteFile(path, "[S]\r\nk=1\r\n");
    std::set<std::string> all = own;
    all.insert(abandoned.begin(), abandoned.end());
    for (const std::string& name : all)
        WriteFile(dir.File(name), "mine");
    std::filesystem::create_directory(dir.File("t.ini.tmp3-4"));
    own.insert("t.ini.tmp3-4");
#ifndef _WIN32
    std::filesystem::create_symlink("t.ini.bak", dir.File("t.ini.tmp5-6"));
    own.insert("t.ini.tmp5-6");
#endif
    // One that another process is writing right now.
    int err = 0;
    auto writing = RealFs().CreateNew(dir.File("t.ini.tmp7-8"), err);
    ASSERT_TRUE(writing);
    ASSERT_TRUE(writing->Close()); // written, not yet renamed

    ASSERT_TRUE(engine.WriteString(path, "S", "k", "2"));
    std::set<std::string> expected = own;
    expected.insert({"t.ini", "t.ini.tmp7-8"});
    EXPECT_EQ(dir.Entries(), expected);
    for (const std::string& name : own) {
        if (name != "t.ini.tmp3-4") {
            EXPECT_EQ(ReadFile(dir.File(name)), "mine") << name;
        }
    }

    writing.reset(); // its process has ended
    ASSERT_TRUE(engine.WriteString(path, "S", "k", "3"));
    expected.erase("t.ini.tmp7-8");
    EXPECT_EQ(dir.Entries(), expected);
    EXPECT_EQ(ReadFile(path), "[S]\r\nk=3\r\n");
}

#ifndef _WIN32
// A write killed at any step leaves at most its temporary file, which the next write removes;
// the lock it held goes with its process.
TEST_F(ProfileFile, AWriteKilledAtAnyStepLeavesNothingAfterTheNextWrite)
{
    using Step = RefusingFs::Step;
    for (Step step : {Step::Created, Step::Written, Step::Synced, Step::Renaming}) {
        WriteFile(path, "[S]\r\nk=0\r\n");
        const pid_t child = ::fork();
        if (child == 0) {
            RefusingFs dying;
            dying.DieAt = step;
            ProfileEngine(dying).WriteString(path, "S", "k", "1");
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "step " << int(step);
        const std::set<std::string> left = dir.Entries(); // the file and its temporary
        EXPECT_TRUE(left.size() == 2 && left.rbegin()->starts_with("t.ini.tmp" +
                                                                    std::to_string(child) + "-"))
            << "step " << int(step) << ": " << *left.rbegin();
        ASSERT_TRUE(engine.WriteString(path, "S", "k", "9"));
        EXPECT_EQ(dir.Entries(), std::set<std::string>{"t.ini"}) << "step " << int(step);
        EXPECT_EQ(ReadFile(path), "[S]\r\nk=9\r\n");
    }
}
#endif

constexpr int kRaceWrites = 300;
std::string RaceValue(int i) { return std::string(std::size_t(i * 37 % 61), char('a' + i % 26)); }

// One process of the race below, by the role it was started for: "FILE|KEY" writes its own key
// again and again; "FILE|" removes abandoned temporary files until FILE.done appears.
TEST(ProfileRace, DISABLED_OneProcess)
{
    if (TestRole().empty())
        GTEST_SKIP() << "started by the race test only";
    const std::string role = TestRole(), file = role.substr(0, role.find('|')),
                      key = role.substr(file.size() + 1);
    if (!key.empty()) {
        ProfileEngine engine;
        for (int i = 0; i < kRaceWrites; ++i)
            ASSERT_TRUE(engine.WriteString(file, "S", key, RaceValue(i))) << "write " << i;
        return;
    }
    const auto dir = std::filesystem::path(file).parent_path();
    std::error_code ec;
    while (!std::filesystem::exists(file + ".done", ec))
        for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end;
             it.increment(ec))
            if (it->path().filename().string().find(".tmp") != std::string::npos)
                RealFs().RemoveAbandoned(it->path().string());
}

// Two processes each write their own key while a third removes abandoned temporary files:
// every write succeeds, and the file holds both keys with their last values, and nothing else.
TEST_F(ProfileFile, TwoWritersAndACleanUpAtOnce)
{
    WriteFile(path, "[S]\r\n");
    const char* test = "ProfileRace.DISABLED_OneProcess";
    TestCopy cleaner(test, path + "|"), a(test, path + "|a"), b(test, path + "|b");
    EXPECT_EQ(a.Wait(), 0);
    EXPECT_EQ(b.Wait(), 0);
    WriteFile(path + ".done", "");
    EXPECT_EQ(cleaner.Wait(), 0);
    const std::string last = RaceValue(kRaceWrites - 1);
    const std::string content = ReadFile(path);
    EXPECT_TRUE(content == "[S]\r\na=" + last + "\r\nb=" + last + "\r\n" ||
                content == "[S]\r\nb=" + last + "\r\na=" + last + "\r\n")
        << content;
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"t.ini", "t.ini.done"}));
}

#ifndef _WIN32
TEST_F(ProfileFile, RealRefusalsOfTheFileSystem)
{
    const std::string original = "[S]\r\nk=1\r\n";
    const std::string other = dir.File("other.ini");
    WriteFile(path, original);
    WriteFile(other, original);
    ::chmod(path.c_str(), 0644);
    ::chmod(other.c_str(), 0666);
    ::chmod(dir.Path().c_str(), 0755); // no new file for anyone but the owner
    if (::geteuid() != 0) {
        ::chmod(path.c_str(), 0444);
        ::chmod(dir.Path().c_str(), 0555);
    }

    const int result = AsUnprivilegedUser([&] {
        ProfileEngine real;
        if (real.WriteString(path, "S", "k", "2"))
            return 1; // a file the user may not write
        if (real.WriteString(dir.File("new.ini"), "S", "k", "2"))
            return 2; // a directory that takes no new file
        if (::geteuid() != 0 && !real.WriteString(other, "S", "k", "3"))
            return 3; // a writable file in that directory: rewritten in place
        return 0;
    });
    ASSERT_NE(result, 99) << "cannot become an unprivileged user";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.ini")));
}
#endif

} // namespace
