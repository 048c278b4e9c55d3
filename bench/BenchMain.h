#pragma once
// The main of a benchmark executable: the offscreen platform, the program's own message pump,
// one application object, then the registered benchmarks between an optional set-up and
// tear-down run inside the application's lifetime.
#include <QApplication>
#include <benchmark/benchmark.h>
#include <functional>

#include "ProgramMain.h"

inline int RunBenchmarks(int argc, char** argv, const std::function<void()>& setUp = {},
                         const std::function<void()>& tearDown = {})
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ChooseMessagePump();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (setUp)
        setUp();
    benchmark::RunSpecifiedBenchmarks();
    if (tearDown)
        tearDown();
    benchmark::Shutdown();
    return 0;
}
