#include "BenchPort.h"

#include "../OsApi.h"

namespace bench {

namespace {
constexpr std::uint8_t kDirectionBit = 0x20;
}

void BenchPort::CheckAccess()
{
    ++accesses_;
    if (failAll_ || failNext_) {
        failNext_ = false;
        throw port::PortAccessError("simulated port access failure");
    }
}

std::uint8_t BenchPort::DataPins() const
{
    if (!DataInputMode())
        return latch_;
    // Data drivers off: the pins read what drives them from outside, and 1 where nothing does.
    return externalData_.value_or(0xFF);
}

bool BenchPort::InputPin(int pin, bool plugLevel) const
{
    if (drivenInputs_[pin].has_value())
        return *drivenInputs_[pin];
    return plug_ ? plugLevel : true; // an open input is pulled high
}

bool BenchPort::PinLevel(int pin) const
{
    switch (pin) {
    case 1: return (control_ & 0x01) == 0;                    // Strobe
    case 14: return (control_ & 0x02) == 0;                   // AutoFeed
    case 16: return (control_ & 0x04) != 0;                   // Init
    case 17: return (control_ & 0x08) == 0;                   // Select-in
    case 10: return InputPin(10, PinLevel(16));               // Ack <- Init
    case 11: return InputPin(11, PinLevel(17));               // Busy <- Select-in
    case 12: return InputPin(12, PinLevel(14));               // PaperEnd <- AutoFeed
    case 13: return InputPin(13, PinLevel(1));                // Select <- Strobe
    case 15: return InputPin(15, PinLevel(2));                // Error <- D0
    default:
        if (pin >= 2 && pin <= 9)
            return ((DataPins() >> (pin - 2)) & 1) != 0;
        return false;                                         // ground
    }
}

std::uint8_t BenchPort::StatusRegister() const
{
    std::uint8_t s = 0x07;
    if (!PinLevel(11)) s |= 0x80; // Busy is inverted in the register
    if (PinLevel(10)) s |= 0x40;
    if (PinLevel(12)) s |= 0x20;
    if (PinLevel(13)) s |= 0x10;
    if (PinLevel(15)) s |= 0x08;
    return s;
}

std::uint8_t BenchPort::Read(std::uint16_t address)
{
    CheckAccess();
    if (address == base_)
        return DataPins();
    if (address == base_ + 1)
        return StatusRegister();
    if (address == base_ + 2)
        return std::uint8_t(0xC0 | control_);
    return 0xFF;
}

void BenchPort::Write(std::uint16_t address, std::uint8_t value)
{
    CheckAccess();
    if (address == base_)
        latch_ = value;
    else if (address == base_ + 2)
        control_ = std::uint8_t(value & (0x0F | kDirectionBit | 0x10));
}

void BenchPort::DriveInput(int pin, std::optional<bool> level)
{
    if (pin >= 0 && pin < int(drivenInputs_.size()))
        drivenInputs_[pin] = level;
}

} // namespace bench
