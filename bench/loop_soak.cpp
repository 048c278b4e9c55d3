// Memory check of a steady read loop on the bench: runs the program's read loop (status and data
// lines) for a given number of seconds and prints the resident size and the open descriptors at
// the loop's start, after a warm-up, once a minute and at the end, then closes the window.
// Exits with 1 when, after the warm-up, the resident size grew by more than the allowed margin
// (plus 2 kB for each new line of the log), a descriptor stayed open, or the close failed.
//
//   loop_soak [seconds=600] [--toggle-every=N] [--plug-every=MS]
//     N > 0: Ack changes every N cycles; MS > 0: the loopback plug is pulled or put back every
//     MS milliseconds
#include <QApplication>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "BenchProgram.h"
#include "ProgramMain.h"
#include "kvDGraph.h"

namespace {

constexpr double kWarmUpSeconds = 10.0;
constexpr long kAllowedGrowthKb = 512;

int OpenDescriptors()
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n - 1; // the iterator's own descriptor
}

} // namespace

int main(int argc, char** argv)
{
    double seconds = 600;
    long toggleEvery = 0;
    int plugEveryMs = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--toggle-every=", 15) == 0)
            toggleEvery = std::atol(argv[i] + 15);
        else if (std::strncmp(argv[i], "--plug-every=", 13) == 0)
            plugEveryMs = std::atoi(argv[i] + 13);
        else
            seconds = std::atof(argv[i]);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ChooseMessagePump(); // the program's own message pump
    QApplication app(argc, argv);
    TfmMain::ShowError = [](QWidget*, const QString& text) {
        std::fprintf(stderr, "error shown: %s\n", text.toLocal8Bit().constData());
    };
    BenchProgram program;
    TfmMain& w = program.StartOpen();
    w.ActLPTReadData->SetChecked(true);
    const auto logLines = [&w] { return w.reLog->document()->blockCount(); };

    QTimer plug;
    QObject::connect(&plug, &QTimer::timeout, [&] {
        program.Bench().Port().SetPlugInserted(!program.Bench().Port().PlugInserted());
    });
    if (plugEveryMs > 0)
        plug.start(plugEveryMs);

    using Clock = std::chrono::steady_clock;
    const long startKb = ResidentKb();
    long warmKb = -1, lastKb = startKb;
    int warmFds = OpenDescriptors(), warmLines = logLines();
    long long cycles = 0;
    int minute = 0;
    bool level = false;
    const auto start = Clock::now();
    std::printf("loop start: VmRSS %ld kB, %d descriptors\n", startKb, warmFds);
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
            warmFds = OpenDescriptors();
            warmLines = logLines();
            std::printf("after %.0f s warm-up: VmRSS %ld kB, %d descriptors\n", kWarmUpSeconds, warmKb, warmFds);
        }
        if (t >= 60.0 * (minute + 1)) {
            ++minute;
            lastKb = ResidentKb();
            std::printf("%3d min: VmRSS %ld kB, %d descriptors, %d log lines, %lld cycles\n", minute, lastKb,
                        OpenDescriptors(), logLines(), cycles);
            std::fflush(stdout);
        }
        if (t >= seconds)
            StopRequested = true;
    });
    pump.start(0);
    w.ActLPTReadExecute(w.ActLPTRead);
    pump.stop();
    plug.stop();
    const double t = std::chrono::duration<double>(Clock::now() - start).count();
    const long endKb = ResidentKb();
    const int endFds = OpenDescriptors(), lines = logLines() - warmLines;
    if (warmKb < 0)
        warmKb = startKb;
    std::printf("loop end after %.1f s: VmRSS %ld kB, %lld cycles (%.0f cycles/s), graph drawn %d times\n",
                t, endKb, cycles, cycles / t, w.kvDGraph1->DrawCount());
    const long growth = endKb - warmKb, allowed = kAllowedGrowthKb + 2L * lines;
    const bool memOk = growth <= allowed, fdsOk = endFds <= warmFds, closed = w.close();
    std::printf("growth since warm-up: %ld kB with %d new log lines (allowed %ld kB): %s\n", growth, lines,
                allowed, memOk ? "ok" : "GROWN");
    std::printf("descriptors: %d after warm-up, %d at the end: %s\n", warmFds, endFds, fdsOk ? "ok" : "LEAK");
    std::printf("window closed: %s\n", closed ? "yes" : "NO");
    return memOk && fdsOk && closed ? 0 : 1;
}
