#pragma once
// The levels of the port's seventeen lines, one bit each, and the reads that sample them.
#include <cstdint>
#include <string>

#include "uLPT.h"

namespace cli {

// Bit k holds the level of LptLines[k]: 1 when its pin is high.
using Levels = std::uint32_t;

constexpr int kLineCount = int(LptLines.size());
constexpr int kFirstDataLine = kStatusLineCount;
constexpr int kFirstControlLine = kStatusLineCount + kDataLineCount;
constexpr Levels kStatusLines = (1u << kStatusLineCount) - 1;
constexpr Levels kDataLines = ((1u << kDataLineCount) - 1) << kFirstDataLine;
constexpr Levels kControlLines = ((1u << kControlLineCount) - 1) << kFirstControlLine;

// The four control lines' bits of a control register value.
constexpr std::uint32_t kControlLineBits = 0x0F;
// The bits a write keeps: the lines, the interrupt enable and the data direction.
constexpr std::uint32_t kControlKeptBits = 0x3F;

// "Ack=1 Busy=0", the lines of mask in their order, with their levels.
std::string LevelsText(Levels levels, Levels mask, const char* separator);

// Reads the lines of the open port. The outputs are read once, as last written: the data
// latch (unless the data lines are sampled as inputs) and the four control lines. Each sample
// then reads the status lines, and the data lines too when asked. While this object lives the
// data drivers are off in that case, the control lines kept as they were (the window's read
// cycle instead writes the direction bit alone, and 0 after, on every cycle).
class LineSampler {
public:
    explicit LineSampler(bool dataAsInputs);
    ~LineSampler();
    LineSampler(const LineSampler&) = delete;
    LineSampler& operator=(const LineSampler&) = delete;

    Levels Sample();
    // The lines each sample reads.
    Levels Inputs() const { return dataAsInputs_ ? kStatusLines | kDataLines : kStatusLines; }
    // The outputs as they were read at the start.
    Levels Outputs() const { return outputs_; }

private:
    bool dataAsInputs_;
    std::uint32_t control_;
    Levels outputs_ = 0;
};

} // namespace cli
