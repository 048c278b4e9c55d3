// Memory check of a steady read loop on the bench: runs the program's read loop (status and data
// lines) for a given number of seconds and prints the resident size at the loop's start, after
// a warm-up, once a minute and at the end. Exits with 1 when the resident size grew by more
// than the allowed margin after the warm-up.
//
//   loop_soak [seconds=600] [--toggle-every=N]   N > 0: Ack changes every N cycles
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BenchProgram.h"
#include "ProgramMain.h"
#include "kvDGraph.h"

namespace {

constexpr double kWarmUpSeconds = 10.0;
constexpr long kAllowedGrowthKb = 512;

} // namespace

int main(int argc, char** argv)
{
    double seconds = 600;
    long toggleEvery = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--toggle-every=", 15) == 0)
            toggleEvery = std::atol(argv[i] + 15);
        else
            seconds = std::atof(argv[i]);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ChooseMessagePump(); // the program's own message pump
    QApplication app(argc, argv);
    BenchProgram program;
    TfmMain& w = program.StartOpen();
    w.ActLPTReadData->SetChecked(true);

    using Clock = std::chrono::steady_clock;
    const long startKb = ResidentKb();
    long warmKb = -1, lastKb = startKb;
    long long cycles = 0;
    int minute = 0;
    bool level = false;
    const auto start = Clock::now();
    std::printf("loop start: VmRSS %ld kB\n", startKb);
    // Runs once per pass of the read loop's message pump, that is once per cycle.
    QTimer pump;
    QObject::connect(&pump, &QTimer::timeout, [&] {
        ++cycles;
        if (toggleEvery > 0 && cycles % toggleEvery == 0)
            program.Bench().Port().DriveInput(10, level = !level);
        if (cycles % 4096 != 0)
            return;
        const double t = std::chrono::duration<double>(Clock::now() - start).count();
        if (warmKb < 0 && t >= kWarmUpSeconds) {
            warmKb = ResidentKb();
            std::printf("after %.0f s warm-up: VmRSS %ld kB\n", kWarmUpSeconds, warmKb);
        }
        if (t >= 60.0 * (minute + 1)) {
            ++minute;
            lastKb = ResidentKb();
            std::printf("%3d min: VmRSS %ld kB, %lld cycles\n", minute, lastKb, cycles);
            std::fflush(stdout);
        }
        if (t >= seconds)
            StopRequested = true;
    });
    pump.start(0);
    w.ActLPTReadExecute(w.ActLPTRead);
    pump.stop();
    const double t = std::chrono::duration<double>(Clock::now() - start).count();
    const long endKb = ResidentKb();
    if (warmKb < 0)
        warmKb = startKb;
    std::printf("loop end after %.1f s: VmRSS %ld kB, %lld cycles (%.0f cycles/s), graph drawn %d times\n",
                t, endKb, cycles, cycles / t, w.kvDGraph1->DrawCount());
    const long growth = endKb - warmKb;
    std::printf("growth since warm-up: %ld kB (allowed %ld kB): %s\n", growth, kAllowedGrowthKb,
                growth <= kAllowedGrowthKb ? "ok" : "GROWN");
    return growth <= kAllowedGrowthKb ? 0 : 1;
}
