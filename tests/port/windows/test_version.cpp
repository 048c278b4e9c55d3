// The version record that the cross-build compiles into this test executable (the program's
// own), and a second one without a translation table, read back through the system's
// version-information functions.
#include <gtest/gtest.h>

#include <filesystem>

#include "WindowsOs.h"
#include "WindowsVersion.h"

namespace {

TEST(VersionBlockName, FirstTranslationListedElseUsEnglish1252)
{
    struct Case {
        std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
        const char* block;
    };
    const Case cases[] = {
        {{}, "040904E4"},
        {{{0x040C, 1252}}, "040C04E4"},
        {{{0x0407, 1200}, {0x040C, 1252}}, "040704B0"},
        {{{0x0000, 0x0000}}, "00000000"},
        {{{0xabcd, 0xffff}}, "ABCDFFFF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(port::VersionBlockName(c.translations), c.block);
}

TEST(VersionRecord, TheExecutableCarriesTheProgramsRecord)
{
    std::string exe = port::WindowsOs().ExecutablePath();
    struct Value {
        const char* key;
        const char* text;
    };
    const Value values[] = {
        {"ProductVersion", "2.0.0.0"},
        {"FileVersion", "2.0.0.0"},
        {"Comments", "Freeware"},
        {"LegalCopyright", "© 2026 Tamsel developers"},
        {"FileDescription", "Testeur port parallèle"},
        {"ProductName", "Tamsel"},
        {"InternalName", "Tamsel"},
        {"OriginalFilename", "Tamsel"},
        {"CompanyName", "Tamsel developers"},
    };
    for (const Value& v : values) {
        EXPECT_EQ(port::ReadVersionValue(exe, v.key).value_or("<missing>"), v.text) << v.key;
        EXPECT_EQ(port::ReadOwnVersionValue(v.key).value_or("<missing>"), v.text) << v.key;
    }
    EXPECT_FALSE(port::ReadVersionValue(exe, "PrivateBuild").has_value());
    EXPECT_FALSE(port::ReadOwnVersionValue("PrivateBuild").has_value());
}

TEST(VersionRecord, WithoutATranslationTheUsEnglishBlockIsRead)
{
    auto dir = std::filesystem::path(port::WindowsOs().ExecutablePath()).parent_path();
    std::string other = (dir / "version_fallback.exe").string();
    EXPECT_EQ(port::ReadVersionValue(other, "Comments").value_or("<missing>"), "from 040904E4");
    EXPECT_FALSE(port::ReadVersionValue(other, "ProductVersion").has_value());
}

TEST(VersionRecord, AFileWithoutARecordHasNoValues)
{
    auto dir = std::filesystem::path(port::WindowsOs().ExecutablePath()).parent_path();
    EXPECT_FALSE(port::ReadVersionValue((dir / "standin" / "zlportio.sys").string(), "Comments"));
    EXPECT_FALSE(port::ReadVersionValue((dir / "no such file.exe").string(), "Comments"));
}

} // namespace
