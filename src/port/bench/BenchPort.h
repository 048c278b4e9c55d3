#pragma once
// A pin-level model of one standard parallel port with a loopback plug:
//   Strobe (1) -> Select (13), D0 (2) -> Error (15), Init (16) -> Ack (10),
//   Select-in (17) -> Busy (11), AutoFeed (14) -> PaperEnd (12).
// Any address other than its three registers reads 0xFF and ignores writes.
#include <array>
#include <cstdint>
#include <optional>

namespace bench {

constexpr std::uint16_t kBenchBase = 888;

class BenchPort {
public:
    explicit BenchPort(std::uint16_t base = kBenchBase) : base_(base) {}

    std::uint16_t Base() const { return base_; }

    // Register access, as the port instructions see it. An access armed to fail raises
    // port::PortAccessError and changes nothing.
    std::uint8_t Read(std::uint16_t address);
    void Write(std::uint16_t address, std::uint8_t value);

    // Level of a connector pin (1 to 25; 18 to 25 are ground).
    bool PinLevel(int pin) const;

    // Test controls.
    void SetPlugInserted(bool inserted) { plug_ = inserted; }
    bool PlugInserted() const { return plug_; }
    // Drives an input pin (10, 11, 12, 13, 15) from outside, over the plug; nullopt releases it.
    void DriveInput(int pin, std::optional<bool> level);
    // Drives the data pins from outside while the data drivers are off; nullopt releases them.
    void DriveData(std::optional<std::uint8_t> value) { externalData_ = value; }
    void FailNextAccess() { failNext_ = true; }
    void FailAllAccesses(bool fail) { failAll_ = fail; }

    std::uint8_t DataLatch() const { return latch_; }
    std::uint8_t ControlRegister() const { return control_; }
    bool DataInputMode() const { return (control_ & 0x20) != 0; }
    std::uint64_t AccessCount() const { return accesses_; }

private:
    void CheckAccess();
    std::uint8_t StatusRegister() const;
    std::uint8_t DataPins() const;
    bool InputPin(int pin, bool plugLevel) const;

    std::uint16_t base_;
    std::uint8_t latch_ = 0;
    std::uint8_t control_ = 0;
    bool plug_ = true;
    std::array<std::optional<bool>, 26> drivenInputs_{};
    std::optional<std::uint8_t> externalData_;
    bool failNext_ = false;
    bool failAll_ = false;
    std::uint64_t accesses_ = 0;
};

} // namespace bench
