// Long run of the read loop on the bench, outside the test suite: the loopback plug is pulled
// and put back from a timer while the loop reads, and the process's resident memory, open
// descriptors and log lines are sampled. Memory may grow only with the log's lines; the
// descriptor count may not grow at all.
//
//   long_run [seconds] [toggle-ms]     (default: an hour, toggling every 50 ms)
//
// Prints one line per sample and a verdict; the exit status is 0 when both checks hold.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "BenchOs.h"
#include "frmMain.h"
#include "kvDGraph.h"
#include "uUserPrefs.h"
#include "zlportio.h"

namespace {

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int OpenDescriptors()
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n - 1; // the iterator's own descriptor
}

struct Sample {
    double Seconds;
    long RssKiB;
    int Fds;
    int LogLines;
    long long Cycles;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const double duration = argc > 1 ? std::atof(argv[1]) : 3600.0;
    const int toggleMs = argc > 2 ? std::atoi(argv[2]) : 50;

    QTemporaryDir dir;
    bench::BenchOs bench;
    port::UseOs(bench);
    PortIoStartup();
    TfmMain::ShowError = [](QWidget*, const QString& text) {
        std::fprintf(stderr, "error shown: %s\n", text.toLocal8Bit().constData());
    };
    CreatingMainForm = true;
    TfmMain window(nullptr, QDir(dir.path()).filePath("tamsel-demo").toStdString());
    CreatingMainForm = false;

    QTimer toggle;
    long long toggles = 0;
    QObject::connect(&toggle, &QTimer::timeout, [&] {
        bench.Port().SetPlugInserted(!bench.Port().PlugInserted());
        ++toggles;
    });
    toggle.start(toggleMs);

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto nextSample = start;
    std::vector<Sample> samples;
    long long cycles = 0;
    const auto take = [&] {
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        samples.push_back({s, ResidentKiB(), OpenDescriptors(), window.reLog->document()->blockCount(), cycles});
        const Sample& x = samples.back();
        std::printf("t=%7.1fs rss=%ld KiB fds=%d log=%d cycles=%lld toggles=%lld graph=%lld\n", x.Seconds,
                    x.RssKiB, x.Fds, x.LogLines, x.Cycles, toggles,
                    (long long)window.kvDGraph1->LstValues().size());
        std::fflush(stdout);
    };
    // Runs once per pass of the read loop's message pump, that is once per cycle.
    QTimer pump;
    QObject::connect(&pump, &QTimer::timeout, [&] {
        ++cycles;
        if (Clock::now() < nextSample)
            return;
        take();
        nextSample += std::chrono::seconds(duration >= 600 ? 60 : 10);
        if (std::chrono::duration<double>(Clock::now() - start).count() >= duration)
            StopRequested = true;
    });
    pump.start(0);
    window.ActLptOpenExecute(window.ActLptOpen); // opens the port and reads until stopped
    pump.stop();
    toggle.stop();
    const bool closed = window.close();

    // The first samples hold the start-up's allocations and the caches' first fill; the
    // comparison starts a tenth of the way in.
    const Sample& first = samples.at(samples.size() / 10);
    const Sample& last = samples.back();
    const long growth = last.RssKiB - first.RssKiB;
    const int lines = last.LogLines - first.LogLines;
    const long allowed = 512 + lines * 2L; // a log line costs well under 2 KiB
    const bool fdsOk = last.Fds == first.Fds;
    const bool memOk = growth <= allowed;
    std::printf("cycles=%lld toggles=%lld closed=%d\n", cycles, toggles, closed);
    std::printf("memory: %+ld KiB from t=%.0fs to t=%.0fs with %d new log lines (allowed %ld KiB): %s\n",
                growth, first.Seconds, last.Seconds, lines, allowed, memOk ? "ok" : "GROWS");
    std::printf("descriptors: %d then %d: %s\n", first.Fds, last.Fds, fdsOk ? "ok" : "LEAK");
    return memOk && fdsOk && closed ? 0 : 1;
}
