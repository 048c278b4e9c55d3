#pragma once
// The program's model of the parallel ports: the table of eight candidate ports, the selected
// port and its open state, the access width, the five status line states and their copies
// from the previous read cycle, the register map, and the operations on them.
#include <array>
#include <cstdint>
#include <string>

#include "LptHost.h"
#include "zlportio.h"

// ---- Port table and register map ----

struct LptPortEntry {
    bool Detected = false;
    std::uint16_t Address = 0; // 0: not searched
};

constexpr int kLptPortCount = 8;

// Eight entries indexed 1 to 8, LPT1 to LPT8.
class LptPortTable {
public:
    LptPortEntry& operator[](int n) { return entries_.at(std::size_t(n - 1)); }
    const LptPortEntry& operator[](int n) const { return entries_.at(std::size_t(n - 1)); }

private:
    std::array<LptPortEntry, kLptPortCount> entries_{};
};

extern LptPortTable LptPorts;
extern std::uint16_t SelectedAddress;
extern bool PortOpen;
extern bool DriverLoaded;
extern PortIoWidth LptWidth;

extern bool StateBusy, StateAck, StatePaperEnd, StateSelect, StateError;
extern bool PrevBusy, PrevAck, PrevPaperEnd, PrevSelect, PrevError;

enum class LptRegister { Data = 0, Status = 1, Control = 2 }; // offset from the base address

// One line of the connector as the program sees it. An inverted line has a register bit that
// is 0 when the pin is high.
struct LptLine {
    const char* Name;
    LptRegister Register;
    int Bit;
    bool Inverted;
    int Pin;
};

// The seventeen lines in the order of the trace graph: the five status inputs, D0 to D7, then
// the four control outputs.
constexpr int kStatusLineCount = 5;
constexpr int kDataLineCount = 8;
constexpr int kControlLineCount = 4;
constexpr std::array<LptLine, 17> LptLines{{
    {"Ack", LptRegister::Status, 6, false, 10},
    {"Busy", LptRegister::Status, 7, true, 11},
    {"PaperEnd", LptRegister::Status, 5, false, 12},
    {"Select", LptRegister::Status, 4, false, 13},
    {"Error", LptRegister::Status, 3, false, 15},
    {"D0", LptRegister::Data, 0, false, 2},
    {"D1", LptRegister::Data, 1, false, 3},
    {"D2", LptRegister::Data, 2, false, 4},
    {"D3", LptRegister::Data, 3, false, 5},
    {"D4", LptRegister::Data, 4, false, 6},
    {"D5", LptRegister::Data, 5, false, 7},
    {"D6", LptRegister::Data, 6, false, 8},
    {"D7", LptRegister::Data, 7, false, 9},
    {"Strobe", LptRegister::Control, 0, true, 1},
    {"AutoFeed", LptRegister::Control, 1, true, 14},
    {"Init", LptRegister::Control, 2, false, 16},
    {"SelectIn", LptRegister::Control, 3, true, 17},
}};

constexpr std::uint32_t kDataInputModeBit = 0x20;

// The five status states in the order Ack, Busy, PaperEnd, Select, Error.
struct LptStatusStates {
    bool Ack = false, Busy = false, PaperEnd = false, Select = false, Error = false;
    bool operator==(const LptStatusStates&) const = default;
};

LptStatusStates LptDecodeStatus(std::uint32_t status, bool invert);
// Level of a line's pin (true = high) from the value of its register.
bool LptLineLevel(const LptLine& line, std::uint32_t registerValue);
// Control byte from the four switch states, Strobe, AutoFeed, Init, Select (on = pin high).
std::uint32_t LptEncodeControl(bool strobe, bool autoFeed, bool init, bool select);
// Data byte from the eight switch states D0 to D7.
std::uint32_t LptEncodeData(const std::array<bool, kDataLineCount>& on);

// Address display forms: "378", "000" (upper-case hexadecimal, at least three digits) and
// "888", "000" (decimal, at least three digits).
std::string LptHexAddress(std::uint32_t address);
std::string LptDecAddress(std::uint32_t address);
// Upper-case hexadecimal without leading zeros ("55").
std::string LptHex(std::uint32_t value);
// Upper-case hexadecimal of at least two digits ("0A", "FF"), as the window shows bytes.
std::string LptHexByte(std::uint32_t value);

void LptSelectAddress(std::uint16_t address);
std::uint16_t LptSelectedAddress();
int LptSelectedIndex();
void LptSetWidth(PortIoWidth width);

// ---- Line reads and writes, on the selected port; each does nothing unless PortOpen ----

void LptReadStatus();                    // read B + 1 into the five line states
std::uint32_t LptReadData();             // read B; 0 when the port is not open
void LptWriteData(std::uint32_t value);  // write 0 to B + 2, then the value to B
void LptWriteDataLatch(std::uint32_t value); // write the value to B alone, the direction kept
void LptWriteControl(std::uint32_t value);
void LptDataOutputMode();                // write 0x00 to B + 2
void LptDataInputMode();                 // write 0x20 to B + 2
// Reads B + 2, the control register as last written; 0 when the port is not open. The window
// never reads it; the command-line tool keeps the control lines it was not asked to change.
std::uint32_t LptReadControl();

// The five line states and their previous-cycle copies, and the copy from one to the other.
LptStatusStates LptCurrentStates();
LptStatusStates LptPreviousStates();
void LptKeepPreviousStates();

// ---- Opening and closing ----

void LptLoadDriver();
void LptUnloadDriver();
void LptOpen();
void LptClose();
// Selects entry n's address and logs the selection line (the shared LPTn action handler).
void LptSelectPort(int n);
// Logs why the port of entry n at `address` cannot be reached and what would give access, in
// red after that port's search lines; nothing when it can be reached. (An opening adopts the
// state found at start-up, so a port that passed the search is never refused there.)
void LptLogRefusals(int n, std::uint16_t address);

// ---- Detection ----

void LptDetectPorts();
// The two-line hint of the n-th LPT action: "LPT n", CR, "Adresse = $378 (888d)".
std::string LptActionHint(int n, std::uint16_t address);

// The window the model reports to; null until the main window exists.
void LptSetHost(LptHost* host);
LptHost* LptGetHost();

// Returns every value of the model to its state at program load (for tests).
void LptResetState();
