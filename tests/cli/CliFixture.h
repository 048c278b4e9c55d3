#pragma once
// Runs the command-line tool as a whole in the test's process, on the bench or another
// operating system, with its outputs and files in hand; and reads the dumps it writes.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "BenchOs.h"
#include "CliApp.h"
#include "TestFiles.h"
#include "uLPT.h"
#include "zlportio.h"

namespace clitest {

// The bench with the test's hand on its inputs: each step drives an input pin (or releases it)
// just before the status register's read of that number (the first read is 1), and the last
// step is followed by a stop request a thousand reads later.
class ScheduledBench : public bench::BenchOs {
public:
    struct Step {
        std::uint64_t Read;
        int Pin;
        std::optional<bool> Level;
    };
    std::vector<Step> Steps;
    volatile std::sig_atomic_t* StopAtEnd = nullptr;
    std::uint64_t Reads = 0;

    std::vector<std::string> Writes; // each register write in order: "888<-0x42"

    void OutByte(std::uint16_t p, std::uint8_t v) override
    {
        Writes.push_back(std::to_string(p) + "<-0x" + LptHexByte(v));
        BenchOs::OutByte(p, v);
    }
    std::uint8_t InByte(std::uint16_t p) override
    {
        if (p == Port().Base() + 1) {
            ++Reads;
            for (const Step& s : Steps)
                if (s.Read == Reads)
                    Port().DriveInput(s.Pin, s.Level);
            if (StopAtEnd != nullptr && !Steps.empty() && Reads == Steps.back().Read + 1000)
                *StopAtEnd = 1;
        }
        return BenchOs::InByte(p);
    }
};

struct Result {
    int Code;
    std::string Out, Err;
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LptResetState();
        PortIoReset();
    }
    void TearDown() override { SetUp(); }

    // The tool as if installed in the test's directory as tamsel-cli-demo.
    Result Run(const std::vector<std::string>& args, port::OsApi& os)
    {
        std::vector<const char*> argv{"tamsel-cli-demo"};
        for (const std::string& a : args)
            argv.push_back(a.c_str());
        std::ostringstream out, err;
        cli::CliEnv env;
        env.Program = "tamsel-cli-demo";
        env.ExecutablePath = dir.File("tamsel-cli-demo");
        env.Out = &out;
        env.Err = &err;
        env.Stop = &stop;
        env.Files = &fs;
        const int code = cli::RunCli(int(argv.size()), argv.data(), os, env);
        return {code, out.str(), err.str()};
    }
    Result Run(const std::vector<std::string>& args) { return Run(args, bench); }

    TempDir dir;
    RefusingFs fs;
    ScheduledBench bench;
    volatile std::sig_atomic_t stop = 0;
};

// What a Value Change Dump holds, read token by token (so that both one change a line and
// one time a line read alike).
struct Edge {
    std::int64_t Ns;
    std::string Line;
    bool Level;
    bool operator==(const Edge&) const = default;
};
struct Dump {
    std::vector<std::string> Names;      // in declaration order
    std::map<std::string, bool> Initial; // levels at time 0
    std::vector<Edge> Edges;             // later changes, in order
    std::vector<std::int64_t> Times;     // every time mark, in order
};

inline Dump ReadDump(const std::string& text)
{
    Dump d;
    std::map<std::string, std::string> names;
    std::istringstream in(text);
    std::string t;
    std::int64_t now = 0;
    while (in >> t) {
        if (t == "$var") {
            std::string type, width, id, name;
            in >> type >> width >> id >> name;
            names[id] = name;
            d.Names.push_back(name);
        } else if (t == "$dumpvars" || t == "$end") {
        } else if (t[0] == '$') {
            while (in >> t && t != "$end") {
            }
        } else if (t[0] == '#') {
            now = std::stoll(t.substr(1));
            d.Times.push_back(now);
        } else if (t[0] == '0' || t[0] == '1') {
            const std::string& line = names[t.substr(1)];
            if (now == 0)
                d.Initial[line] = t[0] == '1';
            else
                d.Edges.push_back({now, line, t[0] == '1'});
        }
    }
    return d;
}

} // namespace clitest
