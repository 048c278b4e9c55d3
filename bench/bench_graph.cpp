// Full redraws of the program's own controls into their off-screen images: the main window's
// graph (17 traces, 64 samples) at its usual size and on a large screen, and the LED, the
// switch and the status light.
#include <benchmark/benchmark.h>

#include <random>

#include "BenchMain.h"
#include "MainWindowControls.h"
#include "StatusLight.h"
#include "kvDGraph.h"
#include "kvSwitch.h"
#include "kvoeLed.h"

namespace {

// The main window's graph with 64 random 17-line samples spread over the full width.
void FillMainGraph(TkvDGraph& graph, int width, int height)
{
    ConfigureMainGraph(graph);
    graph.SetBounds(0, 0, width, height);
    graph.SetValuePosition(vpFullWidth);
    graph.SetMaxItems(64);
    std::mt19937 random(1);
    for (int i = 0; i < 64; ++i) {
        QString sample;
        for (int t = 0; t < 17; ++t)
            sample += QLatin1Char(random() & 1 ? '1' : '0');
        graph.AddValues(sample, false);
    }
}

void BM_GraphRedraw(benchmark::State& state)
{
    TkvDGraph graph;
    FillMainGraph(graph, int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        graph.Paint();
        benchmark::DoNotOptimize(graph.Image().constBits());
    }
}
BENCHMARK(BM_GraphRedraw)->Args({720, 211})->Args({1920, 1000})->Unit(benchmark::kMicrosecond);

// One new sample on a full history: append, drop the oldest, redraw.
void BM_GraphAddSample(benchmark::State& state)
{
    TkvDGraph graph;
    FillMainGraph(graph, 720, 211);
    const QString samples[2] = {QString(17, QLatin1Char('0')), QString(17, QLatin1Char('1'))};
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(graph.AddValues(samples[++n & 1], true));
}
BENCHMARK(BM_GraphAddSample)->Unit(benchmark::kMicrosecond);

void BM_LedRedraw(benchmark::State& state)
{
    TkvoeBasicLed led;
    ConfigureDriverStatusLed(led);
    bool active = false;
    for (auto _ : state) {
        led.SetStandBy(false);
        led.SetActive(active = !active);
    }
}
BENCHMARK(BM_LedRedraw);

void BM_SwitchRedraw(benchmark::State& state)
{
    TkvSwitch sw;
    ConfigureOutputSwitch(sw);
    for (auto _ : state)
        sw.SetSwitchOn(!sw.SwitchOn());
}
BENCHMARK(BM_SwitchRedraw);

void BM_StatusLightRedraw(benchmark::State& state)
{
    TStatusLight light;
    for (auto _ : state)
        light.SetLit(!light.Lit());
}
BENCHMARK(BM_StatusLightRedraw);

} // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
