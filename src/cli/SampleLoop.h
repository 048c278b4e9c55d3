#pragma once
// Sampling the port's lines as fast as it answers, keeping only the changes, with monotonic
// nanosecond times.
#include <chrono>
#include <csignal>
#include <cstdint>
#include <optional>

#include "AccessWatch.h"
#include "LineSampler.h"

namespace cli {

struct SampleRun {
    std::uint64_t Samples = 0;
    std::uint64_t Changes = 0;       // samples that differed from the one before
    std::int64_t ElapsedNs = 0;      // time of the last sample
    std::int64_t ShortestPulseNs = 0; // time between two edges of one line; 0 when none seen
    int ShortestPulseLine = -1;
    enum class End { Time, Stopped, Refused, SinkFailed } Ended = End::Time;
};

// Where the changes go.
class ChangeSink {
public:
    virtual ~ChangeSink() = default;
    // The first sample, at time 0. False ends the run.
    virtual bool Begin(Levels levels) = 0;
    // A sample that differs from the one before: its time since the first, strictly greater than
    // the time of the change before, the levels and the lines that changed. False ends the run.
    virtual bool Change(std::int64_t ns, Levels levels, Levels changed) = 0;
    // About twice a second while sampling.
    virtual void Progress(const SampleRun& run) { (void)run; }
};

// The monotonic clock the times are read from; tests give one of their own.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::chrono::steady_clock::time_point Now() = 0;
};

// The system's monotonic clock.
MonotonicClock& SystemClock();

struct SampleLimits {
    std::optional<std::chrono::nanoseconds> Duration; // none: until stopped
    const volatile std::sig_atomic_t* Stop = nullptr;  // non-zero ends the run
    std::uint64_t MaxSamples = 0;                      // 0: no limit
    MonotonicClock* Clock = nullptr;                   // null: the system's
};

// Samples until a limit is reached, the watch sees a refused access (the refused sample is
// not passed on), or the sink refuses a change.
SampleRun RunSamples(LineSampler& sampler, ChangeSink& sink, const SampleLimits& limits,
                     const AccessWatch& watch);

} // namespace cli
