#pragma once
// The graph feed: turns the states of the port's seventeen lines into samples of the main
// window's trace graph, which shows the last 64 changes, one step each.
#include <array>
#include <string>

class TkvDGraph;

constexpr int kGraphTraceCount = 17;
constexpr int kGraphWindow = 64;
// Seventeen low levels.
inline const std::string kInitialSample(kGraphTraceCount, '0');

// One character per trace, "1" for a true state: Ack, Busy, PaperEnd, Select, Error, D0 to D7,
// Strobe, AutoFeed, Init, Select-in (the switches in their own polarity).
std::string GraphSampleOf(const std::array<bool, kGraphTraceCount>& states);

// A sliding window of 64 samples, primed with an all-low history.
void GraphInit(TkvDGraph& graph);
// Appends the sample of the states, redrawing, unless showing the changes is switched off.
void GraphAddSample(TkvDGraph& graph, bool showChanges,
                    const std::array<bool, kGraphTraceCount>& states);
