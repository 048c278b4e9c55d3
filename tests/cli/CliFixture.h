#pragma once
// Runs the command-line tool as a whole in the test's process, on the bench or another
// operating system, with its outputs and files in hand; and reads the dumps it writes.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "BenchOs.h"
#include "CliApp.h"
#include "OutputFolder.h"
#include "TestFiles.h"
#include "uLPT.h"
#include "zlportio.h"

namespace clitest {

// The bench with the test's hand on its inputs and on the clock: each status read is one tick,
// and each step drives an input pin (or releases it) at its moment, seen by the read of that
// moment. A stop is requested a thousand ticks after the last step.
class ScheduledBench : public bench::BenchOs, public cli::MonotonicClock {
public:
    struct Step {
        std::chrono::nanoseconds At;
        int Pin; // 0: Do instead
        std::optional<bool> Level;
        std::function<void()> Do = {};
    };
    std::vector<Step> Steps;
    std::chrono::nanoseconds Tick{1000};
    volatile std::sig_atomic_t* StopAtEnd = nullptr;
    std::uint64_t Reads = 0;

    std::chrono::steady_clock::time_point Now() override
    {
        return std::chrono::steady_clock::time_point(
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(Reads * Tick));
    }
    std::vector<std::string> Writes; // each register write in order: "888<-0x42"

    void OutByte(std::uint16_t p, std::uint8_t v) override
    {
        Writes.push_back(std::to_string(p) + "<-0x" + LptHexByte(v));
        BenchOs::OutByte(p, v);
    }
    std::uint8_t InByte(std::uint16_t p) override
    {
        if (p == Port().Base() + 1) {
            const auto now = ++Reads * Tick;
            for (const Step& s : Steps)
                if (s.At == now)
                    s.Pin != 0 ? Port().DriveInput(s.Pin, s.Level) : s.Do();
            if (StopAtEnd != nullptr && !Steps.empty() && now == Steps.back().At + 1000 * Tick)
                *StopAtEnd = 1;
        }
        return BenchOs::InByte(p);
    }
};

// The system's output folder with refusals a test switches on: a folder that takes no new file,
// files reported as not writable, and writes refused as on a full disk.
struct Refusals {
    bool NoNewFile = false;
    bool ReadOnly = false;
    bool FullDisk = false;
};

class RefusingFolder final : public cli::OutputFolder {
public:
    RefusingFolder(std::unique_ptr<cli::OutputFolder> inner, const Refusals& refusals)
        : inner_(std::move(inner)), r_(refusals)
    {
    }
    ProfileFileState Stat(const std::string& name) override
    {
        ProfileFileState state = inner_->Stat(name);
        state.Writable = state.Writable && !r_.ReadOnly;
        return state;
    }
    std::unique_ptr<ProfileWriter> CreateHeld(const std::string& name, int& err) override
    {
        err = EACCES;
        auto writer = r_.NoNewFile ? nullptr : inner_->CreateHeld(name, err);
        if (writer && r_.FullDisk)
            return std::make_unique<FullDisk>(std::move(writer));
        return writer;
    }
    bool Rename(const std::string& a, const std::string& b, int& e) override
    {
        return inner_->Rename(a, b, e);
    }
    std::vector<std::string> List() override { return inner_->List(); }
    void RemoveAbandoned(const std::string& name) override { inner_->RemoveAbandoned(name); }
    void CopyAttributes(const ProfileFileState& from, const std::string& name) override
    {
        inner_->CopyAttributes(from, name);
    }

private:
    // Refuses every write, the file held behind it.
    class FullDisk final : public ProfileWriter {
    public:
        explicit FullDisk(std::unique_ptr<ProfileWriter> inner) : inner_(std::move(inner)) {}
        bool Write(const char*, std::size_t) override { return false; }
        bool Close() override { return inner_->Close(); }
        int Error() const override { return ENOSPC; }

    private:
        std::unique_ptr<ProfileWriter> inner_;
    };

    std::unique_ptr<cli::OutputFolder> inner_;
    Refusals r_;
};

struct Result {
    int Code;
    std::string Out, Err;
    int OutFlushes = 0; // flushes of the standard output: each a system call on a real one
};

// A string buffer that counts the flushes asked of it.
class FlushCountingBuf final : public std::stringbuf {
public:
    int Flushes = 0;

protected:
    int sync() override
    {
        ++Flushes;
        return std::stringbuf::sync();
    }
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
        FlushCountingBuf outBuf;
        std::ostream out(&outBuf);
        std::ostringstream err;
        cli::CliEnv env;
        env.Program = "tamsel-cli-demo";
        env.ExecutablePath = dir.File("tamsel-cli-demo");
        env.Out = &out;
        env.Err = &err;
        env.OutIsTerminal = outIsTerminal;
        env.Stop = &stop;
        env.Files = &fs;
        env.Clock = clock;
        env.OpenFolder = [this](const std::string& path, std::string& name, int& err) {
            auto real = cli::OpenOutputFolder(path, name, err);
            return real ? std::make_unique<RefusingFolder>(std::move(real), refusals) : nullptr;
        };
        const int code = cli::RunCli(int(argv.size()), argv.data(), os, env);
        return {code, outBuf.str(), err.str(), outBuf.Flushes};
    }
    Result Run(const std::vector<std::string>& args) { return Run(args, bench); }

    TempDir dir;
    RefusingFs fs;
    ScheduledBench bench;
    cli::MonotonicClock* clock = &bench; // null: the system's
    Refusals refusals;
    bool outIsTerminal = false;
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
