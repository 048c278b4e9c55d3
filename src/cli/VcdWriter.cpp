#include "VcdWriter.h"

#include <charconv>
#include <ctime>

namespace cli {

namespace {

// Room for "#" and a time, then "0A\n" for each of the lines.
constexpr std::size_t kChangeTextSize = 24 + 3 * kLineCount;

// Appends "#1234\n" at `at`: the time the changes after it happened at.
char* TimeMark(char* at, std::int64_t ns)
{
    *at++ = '#';
    at = std::to_chars(at, at + 20, ns).ptr;
    *at++ = '\n';
    return at;
}

// Appends "1A\n" at `at` for each line of mask.
char* Values(char* at, Levels levels, Levels mask)
{
    for (int k = 0; k < kLineCount; ++k) {
        if ((mask >> k & 1) == 0)
            continue;
        *at++ = (levels >> k & 1) ? '1' : '0';
        *at++ = VcdId(k);
        *at++ = '\n';
    }
    return at;
}

std::string UtcNow()
{
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    if (const std::tm* utc = std::gmtime(&now))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", utc);
    return text;
}

} // namespace

bool VcdWriter::Begin(Levels levels, const std::string& comment)
{
    std::string text = "$date " + UtcNow() + " $end\n"
                       "$version " + program_ + " $end\n"
                       "$comment " + comment + " $end\n"
                       "$timescale " + kVcdTimescale + " $end\n"
                       "$scope module lpt $end\n";
    for (int k = 0; k < kLineCount; ++k)
        text += std::string("$var wire 1 ") + VcdId(k) + " " + LptLines[std::size_t(k)].Name +
                " $end\n";
    text += "$upscope $end\n"
            "$enddefinitions $end\n"
            "#0\n"
            "$dumpvars\n";
    char values[kChangeTextSize];
    text.append(values, Values(values, levels, (1u << kLineCount) - 1));
    text += "$end\n";
    return out_.Write(text);
}

bool VcdWriter::Change(std::int64_t ns, Levels levels, Levels changed)
{
    char text[kChangeTextSize];
    char* end = Values(TimeMark(text, ns), levels, changed);
    lastNs_ = ns;
    return out_.Write(std::string_view(text, std::size_t(end - text)));
}

bool VcdWriter::End(std::int64_t ns)
{
    char text[kChangeTextSize];
    return ns <= lastNs_ ||
           out_.Write(std::string_view(text, std::size_t(TimeMark(text, ns) - text)));
}

} // namespace cli
