// The six line reads and writes: the only way the program touches the port's registers. Each
// acts on the selected port at LptWidth, does nothing unless the port is open, and drops an
// error raised by an access.
#include "uLPT.h"

namespace {

std::uint32_t RegisterAddress(LptRegister reg)
{
    return std::uint32_t(SelectedAddress) + std::uint32_t(reg);
}

} // namespace

void LptReadStatus()
{
    if (!PortOpen)
        return;
    LptHost* host = LptGetHost();
    const bool invert = host != nullptr && host->InvertStatesChecked();
    try {
        const std::uint32_t s = PortRead(RegisterAddress(LptRegister::Status), LptWidth);
        const LptStatusStates states = LptDecodeStatus(s, invert);
        StateAck = states.Ack;
        StateBusy = states.Busy;
        StatePaperEnd = states.PaperEnd;
        StateSelect = states.Select;
        StateError = states.Error;
    } catch (const std::exception&) {
        // a refused access leaves the states as they were
    }
}

std::uint32_t LptReadData()
{
    std::uint32_t result = 0;
    if (PortOpen) {
        try {
            result = PortRead(RegisterAddress(LptRegister::Data), LptWidth);
        } catch (const std::exception&) {
            result = 0;
        }
    }
    return result;
}

void LptWriteControl(std::uint32_t value)
{
    if (!PortOpen)
        return;
    try {
        PortWrite(RegisterAddress(LptRegister::Control), LptWidth, value);
    } catch (const std::exception&) {
    }
}

void LptDataOutputMode()
{
    if (PortOpen)
        LptWriteControl(0x00);
}

void LptDataInputMode()
{
    if (PortOpen)
        LptWriteControl(kDataInputModeBit);
}

void LptWriteData(std::uint32_t value)
{
    if (!PortOpen)
        return;
    LptDataOutputMode();
    try {
        PortWrite(RegisterAddress(LptRegister::Data), LptWidth, value);
    } catch (const std::exception&) {
    }
}

LptStatusStates LptCurrentStates()
{
    return {StateAck, StateBusy, StatePaperEnd, StateSelect, StateError};
}

LptStatusStates LptPreviousStates()
{
    return {PrevAck, PrevBusy, PrevPaperEnd, PrevSelect, PrevError};
}

void LptKeepPreviousStates()
{
    PrevAck = StateAck;
    PrevBusy = StateBusy;
    PrevPaperEnd = StatePaperEnd;
    PrevSelect = StateSelect;
    PrevError = StateError;
}
