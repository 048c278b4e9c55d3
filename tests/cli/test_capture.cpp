// Captures and watches on the bench while the test drives its inputs on a schedule: the dump
// holds the seventeen lines, the outputs as last written and exactly the edges made, in order,
// at increasing times; and, on Linux, two viewers' own readers agree.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "CliFixture.h"
#include "CliText.h"

// Every allocation of this test program is counted, so that a test can tell a run that
// allocates for each change it passes on from one that does not. All the unaligned forms are
// replaced together, so that each block is freed by the family that allocated it.
namespace {
std::atomic<std::uint64_t> allocations{0};

void* Allocate(std::size_t size, bool orNull)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size != 0 ? size : 1); p != nullptr || orNull)
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) { return Allocate(size, false); }
void* operator new[](std::size_t size) { return Allocate(size, false); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using clitest::CliTest;
using clitest::Dump;

using namespace std::chrono_literals;

// Input pins: Ack 10, Busy 11, PaperEnd 12, Select 13, Error 15.
const std::vector<clitest::ScheduledBench::Step> kSteps{
    {1ms, 10, false}, {2ms, 13, true}, {2003us, 10, std::nullopt}, {3ms, 11, false},
    {4ms, 15, false}, {5ms, 12, false}, {6ms, 11, std::nullopt}};
// The edges they make, with the outputs below, each at its moment in nanoseconds.
const std::vector<clitest::Edge> kEdges{
    {1'000'000, "Ack", false},  {2'000'000, "Select", true},  {2'003'000, "Ack", true},
    {3'000'000, "Busy", false}, {4'000'000, "Error", false}, {5'000'000, "PaperEnd", false},
    {6'000'000, "Busy", true}};

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
    EXPECT_NE(got.Out.find("\nchanges: 7\nshortest pulse: 1.003 ms (Ack)\nwritten: " + file +
                           "\n"),
              std::string::npos)
        << got.Out;
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
    EXPECT_EQ(dump.Edges, kEdges);
    // The last sample's time ends the dump.
    EXPECT_EQ(dump.Times.back(), 7'000'000);

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

// What a user reads of runs whose inputs change at known moments of the clock: watch's and
// show's lines, each change at its moment; each run ends at its --for; the shortest pulse lies
// between two edges of one line. Show prints one line per change, however long the capture.
TEST_F(CliTest, TimesAsAUserSeesThem)
{
    const struct {
        const char* what;
        std::vector<clitest::ScheduledBench::Step> steps;
        std::string changes; // the lines after the first
        std::string pulse;
        std::chrono::nanoseconds tick = 1us;
        std::string duration = "10ms";
    } rows[] = {
        {"a change 5 ms in, and a pulse later than a line's first edge",
         {{2us, 13, false}, {5ms, 10, true}, {5003us, 10, std::nullopt}},
         "0.000002000 Select=0\n0.005000000 Ack=1\n0.005003000 Ack=0\n", "3.000 us (Ack)"},
        {"no line changes twice", {{1ms, 11, false}, {3ms, 15, true}},
         "0.001000000 Busy=0\n0.003000000 Error=1\n", "none (no line changed twice)"},
        {"an hour", {{1800s, 12, false}, {3599900ms, 12, std::nullopt}},
         "1800.000000000 PaperEnd=0\n3599.900000000 PaperEnd=1\n", "1799.900 s (PaperEnd)",
         100ms, "1h"},
    };
    const std::string file = dir.File("t.vcd");
    for (const auto& r : rows) {
        const auto run = [&](std::vector<std::string> args) {
            bench = clitest::ScheduledBench();
            bench.Steps = r.steps;
            bench.Tick = r.tick;
            args.insert(args.begin() + 1, {"--for", r.duration});
            return Run(args);
        };
        EXPECT_EQ(run({"watch"}).Out,
                  "0.000000000 Ack=0 Busy=1 PaperEnd=1 Select=1 Error=0\n" + r.changes)
            << r.what;
        EXPECT_EQ(bench.Reads * r.tick, *cli::ParseDuration(r.duration)) << r.what;
        // The dump on the standard output, the summary on the error output.
        const clitest::Result captured = run({"capture", "-o", "-"});
        const std::string elapsed = cli::Seconds(cli::ParseDuration(r.duration)->count());
        EXPECT_NE(captured.Err.find(" in " + elapsed + " s ("), std::string::npos)
            << r.what << captured.Err;
        EXPECT_NE(captured.Err.find("\nshortest pulse: " + r.pulse + "\n"), std::string::npos)
            << r.what << captured.Err;
        EXPECT_NE(captured.Out.find("\n$version tamsel-cli-demo $end\n"), std::string::npos);
        WriteFile(file, captured.Out);
        const std::string shown = Run({"show", file}).Out;
        EXPECT_EQ(shown.substr(shown.find('\n') + 1), r.changes) << r.what;
    }
}

// However many changes a run passes on, it allocates nothing more for them; into a pipe or a
// file its output is not flushed for each (a flush is a system call), while on a terminal
// watch flushes each line.
TEST_F(CliTest, AChangeAllocatesNothingAndFlushesOnlyOnATerminal)
{
    const struct {
        const char* what;
        std::vector<std::string> args;
        bool terminal;
    } rows[] = {
        {"watch into a pipe or a file", {"watch"}, false},
        {"watch on a terminal", {"watch"}, true},
        {"capture into a file", {"capture", "-o", dir.File("c.vcd")}, false},
        {"capture to the standard output", {"capture", "-o", "-"}, false},
    };
    for (const auto& r : rows) {
        std::int64_t allocated[2], flushes[2];
        for (int run = 0; run < 2; ++run) {
            // Ack changes at each of the first 100 ticks, then of the first 300.
            bench = clitest::ScheduledBench();
            for (int i = 1; i <= (run == 0 ? 100 : 300); ++i)
                bench.Steps.push_back({i * 1us, 10, i % 2 == 0});
            outIsTerminal = r.terminal;
            std::vector<std::string> args = r.args;
            args.insert(args.begin() + 1, {"--for", "1ms"});
            const std::uint64_t before = allocations;
            const clitest::Result got = Run(args);
            allocated[run] = std::int64_t(allocations - before);
            flushes[run] = got.OutFlushes;
            ASSERT_EQ(got.Code, 0) << r.what << got.Err;
        }
        // 200 changes more: a few more blocks of output at most.
        EXPECT_LT(allocated[1] - allocated[0], 50) << r.what;
        if (r.terminal)
            EXPECT_GE(flushes[1] - flushes[0], 200) << r.what;
        else
            EXPECT_EQ(flushes[1], flushes[0]) << r.what;
    }
}

#ifndef _WIN32
// A run removes its output's abandoned temporary files; not a live run's, nor another output's.
TEST_F(CliTest, CaptureRemovesAbandonedTemporaryFiles)
{
    for (const char* name : {"a.vcd.part1", "a.vcd.part2", "a.vcd.partial", "b.vcd.part3"})
        WriteFile(dir.File(name), "x");
    const int live = ::open(dir.File("a.vcd.part2").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(live, LOCK_SH), 0);
    EXPECT_EQ(Run({"capture", "--for", "1ms", "-o", dir.File("a.vcd")}).Code, 0);
    ::close(live);
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"a.vcd", "a.vcd.part2", "a.vcd.partial",
                                                     "b.vcd.part3"}));
}

// Through a link, a capture replaces the file it names, keeping its mode and owner; not through
// another user's link in a shared folder, unless the folder is that user's. The path is resolved
// once: a link changed during the run changes nothing.
TEST_F(CliTest, CaptureThroughALink)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "files of another user need root";
    const uid_t nobody = 65534;
    const std::string shared = dir.File("shared"), target = dir.File("t.vcd");
    std::filesystem::create_directory(shared);
    const struct {
        const char* what;
        std::string folder;
        uid_t linkOwner, folderOwner;
        bool followed;
    } rows[] = {
        {"the user's own link in a shared folder", shared, 0, 0, true},
        {"the shared folder's owner's link", shared, nobody, nobody, true},
        {"another user's link in a shared folder", shared, nobody, 0, false},
        {"another user's link in a folder of the user", dir.Path(), nobody, 0, true},
    };
    for (const auto& r : rows) {
        WriteFile(target, "old");
        ASSERT_EQ(::chown(target.c_str(), nobody, nobody) | ::chmod(target.c_str(), 0640), 0);
        ASSERT_EQ(::chown(shared.c_str(), r.folderOwner, 0) | ::chmod(shared.c_str(), 01777), 0);
        const std::string link = r.folder + "/out.vcd";
        std::filesystem::remove(link);
        std::filesystem::create_symlink(target, link);
        ASSERT_EQ(::lchown(link.c_str(), r.linkOwner, r.linkOwner), 0);
        // Halfway, the link is made to name another file.
        bench = clitest::ScheduledBench();
        bench.Steps = {{500us, 0, {}, [&] {
                            std::filesystem::remove(link);
                            std::filesystem::create_symlink(dir.File("other.vcd"), link);
                        }}};
        const clitest::Result got = Run({"capture", "--for", "1ms", "-o", link});
        EXPECT_EQ(got.Code, r.followed ? 0 : 1) << r.what << got.Err;
        EXPECT_EQ(ReadFile(target).rfind("$date", 0) == 0, r.followed) << r.what;
        EXPECT_FALSE(std::filesystem::exists(dir.File("other.vcd"))) << r.what;
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << r.what;
        struct stat st {};
        ASSERT_EQ(::stat(target.c_str(), &st), 0);
        EXPECT_EQ(std::pair(st.st_mode & 07777, st.st_uid), std::pair(0640u, nobody)) << r.what;
    }
}
#endif

// On the system's clock, --for 20ms ends after 20 ms, never before, and within 5 s however busy
// the machine (a clock read in the wrong unit would end after 20 us, or after 20 s).
TEST_F(CliTest, ForEndsOnTheSystemClock)
{
    clock = nullptr;
    const std::vector<std::string> runs[] = {{"watch", "--for", "20ms"},
                                             {"capture", "--for", "20ms", "-o", dir.File("c.vcd")}};
    for (const auto& args : runs) {
        const auto start = std::chrono::steady_clock::now();
        const clitest::Result got = Run(args);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(got.Code, 0) << args[0] << got.Err;
        EXPECT_GE(took, 20ms) << args[0];
        EXPECT_LT(took, 5s) << args[0];
    }
}

} // namespace
