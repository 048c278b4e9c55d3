// Captures and watches on the bench while the test drives its inputs on a schedule: the dump
// holds the seventeen lines, the outputs as last written and exactly the edges made, in order,
// at increasing times; and, on Linux, two viewers' own readers agree.
#include <gtest/gtest.h>

#include <cstdio>

#include "CliFixture.h"

namespace {

using clitest::CliTest;
using clitest::Dump;

// Input pins: Ack 10, Busy 11, PaperEnd 12, Select 13, Error 15.
const std::vector<clitest::ScheduledBench::Step> kSteps{
    {1000, 10, false}, {2000, 13, true}, {2003, 10, std::nullopt}, {3000, 11, false},
    {4000, 15, false}, {5000, 12, false}, {6000, 11, std::nullopt}};
// The edges they make, with the outputs below: Ack's three-read pulse is the shortest.
const std::vector<std::pair<std::string, bool>> kEdges{
    {"Ack", false}, {"Select", true}, {"Ack", true}, {"Busy", false},
    {"Error", false}, {"PaperEnd", false}, {"Busy", true}};

std::vector<std::pair<std::string, bool>> LinesAndLevels(const Dump& d)
{
    std::vector<std::pair<std::string, bool>> edges;
    for (const auto& e : d.Edges)
        edges.emplace_back(e.Line, e.Level);
    return edges;
}

#ifndef _WIN32
// Standard output and exit status of a shell command.
std::pair<std::string, int> Shell(const std::string& command)
{
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {text, -1};
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    return {text, pclose(pipe)};
}
#endif

TEST_F(CliTest, CaptureHoldsTheEdgesMadeInOrder)
{
    // Outputs as last written: data 0xA5, Strobe low and the other control lines high.
    bench.Port().Write(888, 0xA5);
    bench.Port().Write(890, 0x05);
    bench.Steps = kSteps;
    bench.StopAtEnd = &stop;
    const std::string file = dir.File("capture.vcd");
    const clitest::Result got = Run({"capture", "--out", file});
    ASSERT_EQ(got.Code, 0) << got.Err;
    EXPECT_NE(got.Out.find("\nchanges: 7\nshortest pulse: "), std::string::npos) << got.Out;
    EXPECT_NE(got.Out.find(" (Ack)\nwritten: " + file + "\n"), std::string::npos) << got.Out;
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"capture.vcd"});

    const Dump dump = clitest::ReadDump(ReadFile(file));
    std::vector<std::string> names;
    for (const LptLine& line : LptLines)
        names.push_back(line.Name);
    EXPECT_EQ(dump.Names, names);
    const std::map<std::string, bool> initial{
        {"Ack", true}, {"Busy", true}, {"PaperEnd", true}, {"Select", false}, {"Error", true},
        {"D0", true}, {"D1", false}, {"D2", true}, {"D3", false}, {"D4", false}, {"D5", true},
        {"D6", false}, {"D7", true}, {"Strobe", false}, {"AutoFeed", true}, {"Init", true},
        {"SelectIn", true}};
    EXPECT_EQ(dump.Initial, initial);
    EXPECT_EQ(LinesAndLevels(dump), kEdges);
    ASSERT_GE(dump.Times.size(), 2u);
    for (std::size_t i = 1; i < dump.Times.size(); ++i)
        EXPECT_LT(dump.Times[i - 1], dump.Times[i]) << i;

#ifndef _WIN32
    // The viewer's own dump, after a line of its own about the sample rate.
    const auto [viewed, status] = Shell("sigrok-cli -I vcd -i '" + file + "' -O vcd");
    ASSERT_EQ(status, 0) << viewed;
    const Dump seen = clitest::ReadDump(viewed.substr(viewed.find("\n$") + 1));
    EXPECT_EQ(seen.Names, names);
    EXPECT_EQ(seen.Initial, initial);
    EXPECT_EQ(seen.Edges, dump.Edges);
    const auto [converted, fstStatus] =
        Shell("vcd2fst -v '" + file + "' -f '" + file + ".fst' 2>&1");
    EXPECT_EQ(fstStatus, 0) << converted;
    EXPECT_GT(std::filesystem::file_size(file + ".fst"), 0u);
#endif
}

TEST_F(CliTest, WatchPrintsEachChangeWithItsTime)
{
    bench.Steps = {{10, 10, true}, {12, 10, std::nullopt}};
    bench.StopAtEnd = &stop;
    const clitest::Result got = Run({"watch"});
    ASSERT_EQ(got.Code, 0) << got.Err;
    std::istringstream lines(got.Out);
    std::string first, rise, fall, more;
    std::getline(lines, first);
    std::getline(lines, rise);
    std::getline(lines, fall);
    EXPECT_EQ(first, "0.000000000 Ack=0 Busy=1 PaperEnd=1 Select=1 Error=0");
    // "0.000012345 Ack=1": seconds with nine decimals, so later times compare greater as texts.
    EXPECT_EQ(rise.substr(11), " Ack=1");
    EXPECT_EQ(fall.substr(11), " Ack=0");
    EXPECT_LT("0.000000000", rise.substr(0, 11));
    EXPECT_LT(rise.substr(0, 11), fall.substr(0, 11));
    EXPECT_FALSE(std::getline(lines, more));
}

} // namespace
