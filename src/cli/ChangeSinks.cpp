#include "ChangeSinks.h"

#include <cinttypes>
#include <cstdio>

#include "CliText.h"

namespace cli {

bool TextChanges::Line(std::int64_t ns, Levels levels, Levels mask)
{
    out_ << Seconds(ns) << ' ' << LevelsText(levels, mask, " ") << std::endl;
    return bool(out_);
}

void DumpChanges::Progress(const SampleRun& run)
{
    char line[128];
    std::snprintf(line, sizeof line, "%" PRIu64 " samples, %" PRIu64 " changes, %.0f samples/s",
                  run.Samples, run.Changes, SampleRate(run));
    err_ << (terminal_ ? "\r" : "") << line << (terminal_ ? "" : "\n") << std::flush;
    shown_ = true;
}

void DumpChanges::Finish()
{
    if (shown_ && terminal_)
        err_ << '\n';
}

double SampleRate(const SampleRun& run)
{
    return run.ElapsedNs > 0 ? double(run.Samples) * 1e9 / double(run.ElapsedNs) : 0.0;
}

} // namespace cli
