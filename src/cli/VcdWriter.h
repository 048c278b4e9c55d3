#pragma once
// A capture as a Value Change Dump, the text format logic-analyser viewers read: the seventeen
// lines as one-bit wires named as on the window's trace graph (Ack ... Error, D0 to D7, Strobe,
// AutoFeed, Init, SelectIn), in one scope, with times in nanoseconds.
#include <cstdint>
#include <string>

#include "DumpOutput.h"
#include "LineSampler.h"

namespace cli {

// The unit of the dump's times, as declared in its header.
constexpr const char* kVcdTimescale = "1ns";

class VcdWriter {
public:
    // program: the tool that writes the dump, named in its header.
    VcdWriter(DumpOutput& out, std::string program) : out_(out), program_(std::move(program)) {}

    // The declarations and the levels at time 0. The comment says where the capture comes from.
    bool Begin(Levels levels, const std::string& comment);
    // The lines that changed at a time later than the one before; formatted without allocating.
    bool Change(std::int64_t ns, Levels levels, Levels changed);
    // The time of the last sample, so that viewers show the capture to its end.
    bool End(std::int64_t ns);

private:
    DumpOutput& out_;
    std::string program_;
    std::int64_t lastNs_ = 0;
};

// The identifier of line k in the dump: one letter, "A" for Ack.
constexpr char VcdId(int k) { return char('A' + k); }

} // namespace cli
