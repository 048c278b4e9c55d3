#pragma once
// The tool's commands, once the command line is read: each opens the port through the port
// model over the operating system it is given, and returns the exit code.
#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "OsApi.h"
#include "OutputFolder.h"
#include "ProfileFs.h"
#include "SampleLoop.h"

namespace cli {

// Exit codes a script can rely on.
constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;    // bad command line, or an output file that cannot be written
constexpr int kExitNoAccess = 2; // the port could not be reached
constexpr int kExitNoPort = 3;   // no port found, or none configured for the one named

// What a run of the tool is given besides its command line.
struct CliEnv {
    std::string Program;        // "tamsel-cli", heading its messages
    std::string ExecutablePath; // the window's preferences file lies beside it
    std::ostream* Out = nullptr;
    std::ostream* Err = nullptr;
    bool ErrIsTerminal = false; // the progress line then rewrites itself
    bool OutIsTerminal = false; // watch then shows each line at once
    const volatile std::sig_atomic_t* Stop = nullptr; // set by Ctrl-C
    ProfileFs* Files = nullptr; // null: the real file system
    MonotonicClock* Clock = nullptr; // null: the system's monotonic clock
    FolderOpener OpenFolder;         // how a capture reaches its file's folder; null: the system's
};

enum class Command { Detect, Read, Write, Watch, Capture, Show };

struct CliOptions {
    Command Cmd = Command::Read;
    std::string Ini;                     // empty: the window's file beside the executable
    bool Verbose = false;
    std::vector<std::uint16_t> Addresses; // detect: the addresses to search instead of the file's
    int Lpt = 1;                         // the port: LPTn of the preferences file...
    std::optional<std::uint16_t> Address; // ...or this address
    bool DataAsInputs = false;           // read, watch, capture: the data lines as inputs
    std::optional<std::uint8_t> Data;    // write
    std::array<std::optional<bool>, 4> Control; // write: Strobe, AutoFeed, Init, SelectIn
    std::optional<std::chrono::nanoseconds> For; // watch, capture
    std::string Out;                     // capture: the file, or "-" for the standard output
    std::string Dump;                    // show
};

int RunCommand(const CliOptions& options, port::OsApi& os, const CliEnv& env);

// The window's preferences file for an executable: its name without "-cli", with ".ini"
// ("/opt/t/tamsel-cli" -> "/opt/t/tamsel.ini", "tamsel-cli-demo.exe" -> "tamsel-demo.ini").
std::string WindowPrefsFileOf(const std::string& executablePath);

} // namespace cli
