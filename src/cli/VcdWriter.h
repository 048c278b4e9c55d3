#pragma once
// A capture as a Value Change Dump, the text format logic-analyser viewers read: the seventeen
// lines as one-bit wires named as on the window's trace graph (Ack ... Error, D0 to D7, Strobe,
// AutoFeed, Init, SelectIn), in one scope, with times in nanoseconds.
#include <cstdint>
#include <string>

#include "AtomicOutput.h"
#include "LineSampler.h"

namespace cli {

class VcdWriter {
public:
    explicit VcdWriter(AtomicOutput& out) : out_(out) {}

    // The declarations and the levels at time 0. The comment says where the capture comes from.
    bool Begin(Levels levels, const std::string& comment);
    // The lines that changed at a time later than the one before.
    bool Change(std::int64_t ns, Levels levels, Levels changed);
    // The time of the last sample, so that viewers show the capture to its end.
    bool End(std::int64_t ns);

private:
    AtomicOutput& out_;
    std::int64_t lastNs_ = 0;
};

// The identifier of line k in the dump: one letter, "A" for Ack.
constexpr char VcdId(int k) { return char('A' + k); }

} // namespace cli
