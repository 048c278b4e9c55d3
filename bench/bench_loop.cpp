// The read cycle and the program's start-up on the simulated bench, with the real main window
// on the offscreen platform: status lines alone, status and data lines, both again over a
// backend whose port instructions do nothing (the software's own share of a cycle), one status
// change through the loop (read, sample, full redraw of the graph, copy to the screen), the
// preferences load and save, and the start-up to the end of detection without its designed
// waits.
#include <QFile>
#include <benchmark/benchmark.h>
#include <memory>

#include "BenchMain.h"
#include "BenchProgram.h"
#include "kvDGraph.h"

namespace {

std::unique_ptr<BenchProgram> program;

// The window on the bench with LPT1 open, reading the status lines and, when asked, the data
// lines; backend replaces the bench's port instructions for the measurement.
TfmMain& OpenForReading(bool data)
{
    TfmMain& w = program->StartOpen();
    w.ActLPTReadStatus->SetChecked(true);
    w.ActLPTReadData->SetChecked(data);
    return w;
}

void RunCycles(benchmark::State& state, TfmMain& w)
{
    w.ReadCycle(); // the first cycle may feed the graph; the inputs are steady afterwards
    const int drawsBefore = w.kvDGraph1->DrawCount();
    for (auto _ : state)
        w.ReadCycle();
    state.SetItemsProcessed(state.iterations());
    state.counters["graph_draws"] = w.kvDGraph1->DrawCount() - drawsBefore;
}

void BM_ReadCycle(benchmark::State& state)
{
    const bool data = state.range(0) != 0;
    const bool noPort = state.range(1) != 0;
    TfmMain& w = OpenForReading(data);
    NoPortOs none;
    if (noPort)
        port::UseOs(none);
    RunCycles(state, w);
    port::UseOs(program->Bench());
    state.SetLabel(std::string(data ? "status+data" : "status") + (noPort ? ", no port" : ", bench"));
}
BENCHMARK(BM_ReadCycle)
    ->ArgNames({"data", "noport"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1});

// Ack toggled from outside before every cycle: each cycle lights a light, feeds the graph one
// sample, redraws it whole and copies it to the screen.
void BM_StatusChange(benchmark::State& state)
{
    TfmMain& w = OpenForReading(false);
    bool level = false;
    const int drawsBefore = w.kvDGraph1->DrawCount();
    for (auto _ : state) {
        program->Bench().Port().DriveInput(10, level = !level);
        w.ReadCycle();
    }
    const int draws = w.kvDGraph1->DrawCount() - drawsBefore;
    state.SetItemsProcessed(state.iterations());
    state.counters["graph_draws"] = draws;
    if (draws != int(state.iterations()))
        state.SkipWithError("a status change did not redraw the graph");
    program->Bench().Port().DriveInput(10, std::nullopt);
}
BENCHMARK(BM_StatusChange);

void BM_PrefsLoad(benchmark::State& state)
{
    program->Start(); // writes the default file
    const std::string path = program->IniPath();
    for (auto _ : state)
        LoadUserPrefs(path);
}
BENCHMARK(BM_PrefsLoad)->Unit(benchmark::kMicrosecond);

void BM_PrefsSave(benchmark::State& state)
{
    program->Start();
    const std::string path = program->IniPath();
    for (auto _ : state)
        SaveUserPrefs(path);
}
BENCHMARK(BM_PrefsSave)->Unit(benchmark::kMicrosecond);

// Construction of the main window: its controls and the start-up sequence (show, one pump,
// paths, window state, preferences, detection with its three waits of one pump pass each,
// graph priming). fresh = 1: no preferences file yet, so the default file is written first.
void BM_StartUp(benchmark::State& state)
{
    const bool fresh = state.range(0) != 0;
    program->Stop();
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            QFile::remove(QString::fromStdString(program->IniPath()));
            state.ResumeTiming();
        }
        program->Start();
        state.PauseTiming();
        int detected = 0;
        for (int n = 1; n <= kLptPortCount; ++n)
            detected += LptPorts[n].Detected ? 1 : 0;
        if (detected != 1)
            state.SkipWithError("the bench's port was not detected");
        program->Stop();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp)->ArgName("fresh")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(
        argc, argv, [] { program = std::make_unique<BenchProgram>(); }, [] { program.reset(); });
}
