// The line reads and writes: the only way the programs touch the port's registers. Each acts
// on the selected port at LptWidth, does nothing unless the port is open, and drops an error
// raised by an access.
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

namespace {

// One read of a register of the open port; 0 when it is closed or the access fails.
std::uint32_t ReadRegister(LptRegister reg)
{
    if (!PortOpen)
        return 0;
    try {
        return PortRead(RegisterAddress(reg), LptWidth);
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace

std::uint32_t LptReadData() { return ReadRegister(LptRegister::Data); }

std::uint32_t LptReadControl() { return ReadRegister(LptRegister::Control); }

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

void LptWriteDataLatch(std::uint32_t value)
{
    if (!PortOpen)
        return;
    try {
        PortWrite(RegisterAddress(LptRegister::Data), LptWidth, value);
    } catch (const std::exception&) {
    }
}

void LptWriteData(std::uint32_t value)
{
    if (!PortOpen)
        return;
    LptDataOutputMode();
    LptWriteDataLatch(value);
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
