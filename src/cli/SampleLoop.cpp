#include "SampleLoop.h"

#include <array>
#include <limits>

namespace cli {

namespace {

constexpr std::int64_t kProgressEveryNs = 500'000'000;

// Keeps, for each line, the time of its last edge, and the shortest time between two edges of
// one line.
class PulseTracker {
public:
    PulseTracker() { lastEdge_.fill(-1); }
    void Edges(std::int64_t ns, Levels changed, SampleRun& run)
    {
        for (int k = 0; k < kLineCount; ++k) {
            if ((changed >> k & 1) == 0)
                continue;
            const std::int64_t previous = lastEdge_[std::size_t(k)];
            const bool shorter = run.ShortestPulseNs == 0 || ns - previous < run.ShortestPulseNs;
            if (previous >= 0 && shorter) {
                run.ShortestPulseNs = ns - previous;
                run.ShortestPulseLine = k;
            }
            lastEdge_[std::size_t(k)] = ns;
        }
    }

private:
    std::array<std::int64_t, kLineCount> lastEdge_;
};

class SteadyClock final : public MonotonicClock {
public:
    std::chrono::steady_clock::time_point Now() override
    {
        return std::chrono::steady_clock::now();
    }
};

} // namespace

MonotonicClock& SystemClock()
{
    static SteadyClock clock;
    return clock;
}

SampleRun RunSamples(LineSampler& sampler, ChangeSink& sink, const SampleLimits& limits,
                     const AccessWatch& watch)
{
    SampleRun run;
    MonotonicClock& clock = limits.Clock != nullptr ? *limits.Clock : SystemClock();
    const auto start = clock.Now();
    Levels last = sampler.Sample();
    if (watch.Refused()) {
        run.Ended = SampleRun::End::Refused;
        return run;
    }
    run.Samples = 1;
    if (!sink.Begin(last)) {
        run.Ended = SampleRun::End::SinkFailed;
        return run;
    }

    const std::int64_t endNs = limits.Duration ? std::int64_t(limits.Duration->count())
                                               : std::numeric_limits<std::int64_t>::max();
    PulseTracker pulses;
    std::int64_t lastChangeNs = 0;
    std::int64_t nextProgressNs = kProgressEveryNs;
    for (;;) {
        if (limits.Stop != nullptr && *limits.Stop != 0) {
            run.Ended = SampleRun::End::Stopped;
            break;
        }
        const Levels levels = sampler.Sample();
        std::int64_t ns =
            std::chrono::duration_cast<std::chrono::nanoseconds>(clock.Now() - start).count();
        if (watch.Refused()) {
            run.Ended = SampleRun::End::Refused;
            break;
        }
        ++run.Samples;
        // A clock coarser than the sampling could give two changes one time: the later one is
        // put a nanosecond after, so that every change keeps its own time, and no sample is
        // timed before a change.
        if (ns < lastChangeNs)
            ns = lastChangeNs;
        if (levels != last) {
            if (ns == lastChangeNs)
                ns = lastChangeNs + 1;
            const Levels changed = levels ^ last;
            pulses.Edges(ns, changed, run);
            ++run.Changes;
            lastChangeNs = ns;
            last = levels;
            if (!sink.Change(ns, levels, changed)) {
                run.ElapsedNs = ns;
                run.Ended = SampleRun::End::SinkFailed;
                break;
            }
        }
        run.ElapsedNs = ns;
        if (ns >= endNs || (limits.MaxSamples != 0 && run.Samples >= limits.MaxSamples))
            break;
        if (ns >= nextProgressNs) {
            sink.Progress(run);
            nextProgressNs = ns + kProgressEveryNs;
        }
    }
    return run;
}

} // namespace cli
