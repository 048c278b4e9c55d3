#include "ChangeSinks.h"

#include <cinttypes>
#include <cstdio>

#include "CliText.h"

namespace cli {

bool TextChanges::Line(std::int64_t ns, Levels levels, Levels mask)
{
    char line[kSecondsSize + 12 * kLineCount];
    int n = SecondsInto(line, sizeof line, ns);
    for (int k = 0; k < kLineCount; ++k)
        if (mask >> k & 1)
            n += std::snprintf(line + n, sizeof line - std::size_t(n), " %s=%c",
                               LptLines[std::size_t(k)].Name, (levels >> k & 1) ? '1' : '0');
    line[n++] = '\n';
    out_.write(line, n);
    if (flushEachLine_)
        out_.flush();
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
