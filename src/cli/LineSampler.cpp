#include "LineSampler.h"

namespace cli {

namespace {

Levels DataLevels(std::uint32_t data) { return Levels(data & 0xFF) << kFirstDataLine; }

} // namespace

std::string LevelsText(Levels levels, Levels mask, const char* separator)
{
    std::string text;
    for (int k = 0; k < kLineCount; ++k) {
        if ((mask >> k & 1) == 0)
            continue;
        if (!text.empty())
            text += separator;
        text += LptLines[std::size_t(k)].Name;
        text += (levels >> k & 1) ? "=1" : "=0";
    }
    return text;
}

LineSampler::LineSampler(bool dataAsInputs)
    : dataAsInputs_(dataAsInputs), control_(LptReadControl() & kControlLineBits)
{
    for (int k = kFirstControlLine; k < kLineCount; ++k)
        if (LptLineLevel(LptLines[std::size_t(k)], control_))
            outputs_ |= 1u << k;
    if (dataAsInputs_)
        LptWriteControl(control_ | kDataInputModeBit);
    else
        outputs_ |= DataLevels(LptReadData());
}

LineSampler::~LineSampler()
{
    if (dataAsInputs_)
        LptWriteControl(control_);
}

Levels LineSampler::Sample()
{
    LptReadStatus();
    const LptStatusStates s = LptCurrentStates();
    Levels levels = outputs_ | Levels(s.Ack) | Levels(s.Busy) << 1 | Levels(s.PaperEnd) << 2 |
                    Levels(s.Select) << 3 | Levels(s.Error) << 4;
    if (dataAsInputs_)
        levels |= DataLevels(LptReadData());
    return levels;
}

} // namespace cli
