#include "VcdWriter.h"

#include <ctime>

namespace cli {

namespace {

void AppendValue(std::string& text, Levels levels, int k)
{
    text += (levels >> k & 1) ? '1' : '0';
    text += VcdId(k);
    text += '\n';
}

// "#1234\n": the time the changes after it happened at.
std::string TimeMark(std::int64_t ns)
{
    std::string text(1, '#');
    text += std::to_string(ns);
    text += '\n';
    return text;
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
                       "$version tamsel-cli $end\n"
                       "$comment " + comment + " $end\n"
                       "$timescale 1ns $end\n"
                       "$scope module lpt $end\n";
    for (int k = 0; k < kLineCount; ++k)
        text += std::string("$var wire 1 ") + VcdId(k) + " " + LptLines[std::size_t(k)].Name +
                " $end\n";
    text += "$upscope $end\n"
            "$enddefinitions $end\n"
            "#0\n"
            "$dumpvars\n";
    for (int k = 0; k < kLineCount; ++k)
        AppendValue(text, levels, k);
    text += "$end\n";
    return out_.Write(text);
}

bool VcdWriter::Change(std::int64_t ns, Levels levels, Levels changed)
{
    std::string text = TimeMark(ns);
    for (int k = 0; k < kLineCount; ++k)
        if (changed >> k & 1)
            AppendValue(text, levels, k);
    lastNs_ = ns;
    return out_.Write(text);
}

bool VcdWriter::End(std::int64_t ns)
{
    return ns <= lastNs_ || out_.Write(TimeMark(ns));
}

} // namespace cli
