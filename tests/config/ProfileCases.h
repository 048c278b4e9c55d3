#pragma once
// The keyed-access cases that every implementation of the private-profile functions is held
// to (our engine everywhere, and the system's functions on Windows, which list where they
// differ), and the texts the preferences module loads as addresses and as the display flag.
#include <string>
#include <tuple>
#include <utility>
#include <vector>

struct ProfileReadCase {
    const char* name;
    std::string content;
    const char* section;
    const char* key;
    std::string expected; // "<def>" for the default
};

inline std::vector<ProfileReadCase> ProfileReadCases()
{
    const std::string big(5000, 'v');
    return {
        {"plain", "[S]\r\nk=v\r\n", "S", "k", "v"},
        {"case-insensitive names", "[lptportaddr]\r\nlpt001addr=5\r\n", "LptPortAddr",
         "LPT001Addr", "5"},
        {"first line wins", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "1"},
        {"blanks trimmed", "[S]\r\n  k \t= \t a b \t\r\n", "S", "k", "a b"},
        {"double quotes", "[S]\r\nk= \"a b\" \r\n", "S", "k", "a b"},
        {"single quotes", "[S]\r\nk='x'\r\n", "S", "k", "x"},
        {"unpaired quotes kept", "[S]\r\nk=\"x'\r\n", "S", "k", "\"x'"},
        {"lone quote kept", "[S]\r\nk=\"\r\n", "S", "k", "\""},
        {"first = splits", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
        {"empty value", "[S]\r\nk=\r\n", "S", "k", ""},
        {"hexadecimal text as it stands", "[LptPortAddr]\r\nLPT002Addr=0x278\r\n", "LptPortAddr",
         "LPT002Addr", "0x278"},
        {"2047 characters at most", "[S]\r\nk=" + big + "\r\n", "S", "k", big.substr(0, 2047)},
        {"missing key", "[S]\r\nj=1\r\n", "S", "k", "<def>"},
        {"missing section", "[T]\r\nk=1\r\n", "S", "k", "<def>"},
        {"key of another section", "[T]\r\nk=1\r\n[S]\r\n", "S", "k", "<def>"},
        {"key before any section", "k=1\r\n[S]\r\n", "S", "k", "<def>"},
        {"comment is no entry", "[S]\r\n;k=1\r\n", "S", "k", "<def>"},
        {"line without = is no entry", "[S]\r\nk\r\nk=2\r\n", "S", "k", "2"},
        {"header without ]", "[S]\r\n[T\r\nk=3\r\n", "S", "k", "3"},
        {"blanks around the header", "  [ S ]  \r\nk=4\r\n", "S", "k", "4"},
        {"only the first section of a name", "[S]\r\na=1\r\n[S]\r\nk=2\r\n", "S", "k", "<def>"},
        {"lone LF", "[S]\nk=5\nz=6", "S", "z", "6"},
        {"lone CR", "[S]\rk=7\rz=8\r", "S", "k", "7"},
        {"no final line end", "[S]\r\nk=9", "S", "k", "9"},
        {"empty file", "", "S", "k", "<def>"},
        {"byte-order mark before the first line", "\xEF\xBB\xBF[S]\r\nk=1\r\n", "S", "k", "1"},
    };
}

struct ProfileWriteCase {
    const char* name;
    std::string before; // "<none>": no file
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

inline std::vector<ProfileWriteCase> ProfileWriteCases()
{
    return {
        {"new file", "<none>", "S", "k", "1", "[S]\r\nk=1\r\n"},
        {"replace in place", "; c\r\n\r\n[S]\r\n a = old ; x \r\nb=2\r\n\r\n", "S", "a", "9",
         "; c\r\n\r\n[S]\r\na=9\r\nb=2\r\n\r\n"},
        {"caller's spelling of the key", "[s]\r\nKEY=1\r\n", "S", "key", "2", "[s]\r\nkey=2\r\n"},
        {"only the first line replaced", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "3",
         "[S]\r\nk=3\r\nk=2\r\n"},
        {"insert after the last line of the section",
         "[S]\r\na=1\r\n;note\r\n\r\n\r\n[T]\r\nz=0\r\n", "S", "k", "5",
         "[S]\r\na=1\r\n;note\r\nk=5\r\n\r\n\r\n[T]\r\nz=0\r\n"},
        {"insert into an empty section", "[S]\r\n[T]\r\n", "S", "k", "5",
         "[S]\r\nk=5\r\n[T]\r\n"},
        {"append a section", "[T]\r\nz=0\r\n\r\n", "S", "k", "5",
         "[T]\r\nz=0\r\n\r\n[S]\r\nk=5\r\n"},
        {"append to an empty file", "", "S", "k", "5", "[S]\r\nk=5\r\n"},
        {"comments with = kept as they are", "[S]\r\n;x = 1;  // y\r\nk=1\r\n", "S", "k", "2",
         "[S]\r\n;x = 1;  // y\r\nk=2\r\n"},
        {"other entries kept as they are", "[S]\r\nk=1\r\nb = 2\r\n", "S", "k", "3",
         "[S]\r\nk=3\r\nb = 2\r\n"},
        {"value written without blanks", "[S]\r\nk = 1\r\n", "S", "k", "", "[S]\r\nk=\r\n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[S]\r\nk=1\r\n", "S", "k", "2",
         "\xEF\xBB\xBF[S]\r\nk=2\r\n"},
        {"LF file: insert with LF", "[S]\na=1\n\n[T]\n", "S", "k", "5", "[S]\na=1\nk=5\n\n[T]\n"},
    };
}

// Sections, keys and values that a write refuses, as they would break the file.
inline const std::vector<std::tuple<const char*, const char*, const char*>> kBreakingEntries = {
    {"S", "k", "a\r\nb=1"}, {"S", "k\n", "1"}, {"S]", "k", "1"}, {"S", "a=b", "1"},
    {"S", ";k", "1"},       {"S", "", "1"},    {"S", " k", "1"}};

// Texts of an LPTn address key and the address they load as.
inline const std::vector<std::pair<const char*, unsigned>> kAddressTexts = {
    {"$278", 632},        {"0x278", 632},      {"0X278", 632}, {"378h", 0},
    {"", 0},              {"888 ; comment", 0}, {"70000", 4464}, {"-1", 65535},
    {" 956 ", 956},       {"\"888\"", 888},    {"'632'", 632}, {"$FFFFFFFF", 65535}};

// Texts of the display flag's key and the flag they load as.
inline const std::vector<std::pair<const char*, bool>> kShowHexaTexts = {
    {"2", true}, {"yes", false}, {"0", false}, {"0x1", true}};
