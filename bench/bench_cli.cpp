// The sampling of tamsel-cli's capture on the simulated bench, as the command runs it: status
// lines alone, then status and data lines, each change written to a dump file through the
// buffered atomic output; then with Ack changing every thousand samples, to show the resident
// size staying flat while the file grows with the changes. One iteration is one sample.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "AtomicOutput.h"
#include "BenchOs.h"
#include "Resident.h"
#include "SampleLoop.h"
#include "VcdWriter.h"
#include "uLPT.h"
#include "zlportio.h"

namespace {

// The bench, whose Ack input changes every `every` status reads (never when 0).
class TogglingBench final : public bench::BenchOs {
public:
    explicit TogglingBench(std::int64_t every) : every_(std::uint64_t(every)) {}
    std::uint8_t InByte(std::uint16_t p) override
    {
        if (every_ != 0 && p == Port().Base() + 1 && ++reads_ % every_ == 0)
            Port().DriveInput(10, level_ = !level_);
        return BenchOs::InByte(p);
    }

private:
    std::uint64_t every_;
    std::uint64_t reads_ = 0;
    bool level_ = false;
};

// The capture's dump, written once from the first sample on, whatever the number of batches.
class DumpSink final : public cli::ChangeSink {
public:
    explicit DumpSink(cli::VcdWriter& vcd) : vcd_(vcd) {}
    bool Begin(cli::Levels levels) override
    {
        return std::exchange(begun_, true) || vcd_.Begin(levels, "benchmark");
    }
    bool Change(std::int64_t ns, cli::Levels levels, cli::Levels changed) override
    {
        return vcd_.Change(ns + offsetNs_, levels, changed);
    }
    void Next(std::int64_t elapsedNs) { offsetNs_ += elapsedNs + 1; }

private:
    cli::VcdWriter& vcd_;
    bool begun_ = false;
    std::int64_t offsetNs_ = 0;
};

void BM_Capture(benchmark::State& state)
{
    constexpr std::uint64_t kBatch = 1u << 20;
    TogglingBench os(state.range(1));
    cli::AccessWatch watch(os);
    port::UseOs(watch);
    PortIoStartup();
    LptSetWidth(pwByte);
    LptSelectAddress(bench::kBenchBase);
    LptLoadDriver();
    {
        const auto path = std::filesystem::temp_directory_path() / "tamsel-bench-capture.vcd";
        cli::AtomicOutput file(path.string()); // never committed: removed at the end
        cli::VcdWriter vcd(file, "benchmark");
        DumpSink sink(vcd);
        cli::LineSampler sampler(state.range(0) != 0);
        if (!file.Open())
            state.SkipWithError(file.Error().c_str());
        const long startKb = ResidentKb();
        std::uint64_t changes = 0;
        while (state.KeepRunningBatch(kBatch)) {
            const cli::SampleRun run =
                cli::RunSamples(sampler, sink, {std::nullopt, nullptr, kBatch}, watch);
            changes += run.Changes;
            sink.Next(run.ElapsedNs);
        }
        state.counters["changes"] = double(changes);
        state.counters["rss_growth_kB"] = double(ResidentKb() - startKb);
    }
    LptUnloadDriver();
    LptResetState();
    PortIoReset();
}
BENCHMARK(BM_Capture)->ArgNames({"data", "toggle"})->Args({0, 0})->Args({1, 0})->Args({0, 1000});

} // namespace

BENCHMARK_MAIN();
