#pragma once
// Why the Linux backend cannot reach an I/O address and what would give access: one table of
// reasons and one of remedies, each text in English (standard error, the command-line tools)
// and in French (the window's event log). The backend decides which reason and which remedy
// apply and gives the values the texts name; the words of both languages live here alone.
#include <map>
#include <string>

#include "../OsApi.h"

namespace port {

// A text in the program's two languages.
struct Bilingual {
    std::string English, French;
};
inline Bilingual Both(const std::string& same) { return {same, same}; }

enum class RefusalReason {
    Gone,               // the port's device stopped answering: {device} {error}
    NotInGroupLp,       // {device} {error}
    PpdevNotLoaded,     // {device} {error}
    DeviceFailed,       // {device} {error}
    Held,               // {port} {holder}
    HeldTooLong,        // {port} {holder} {wait}
    Exclusive,          // {port} {error}
    ClaimFailed,        // {port} {error}
    LockedDown,         // {lockdown} {file}
    NoPortInstructions, // {devport}
    NoRawAccess,        // {devport} {ioperm}: neither exists in this kernel
    NeedsRights,        // {devport} {ioperm}
    NotParallel,        // {program}: a raised run's raw access outside parallel ports
};

enum class RefusalRemedy {
    Reconnect,          // {program}
    JoinGroupLp,        // {program}
    LoadPpdev,
    AskKernel,          // {port}
    RemoveLp,           // {program}
    CloseOther,         // {device} {program}
    CloseOtherOrAskKernel, // {device} {port} {program}
    RemoveDriver,       // {holder} {program}
    UseKernelPort,      // the ppdev way, where raw access cannot be had at all
    KernelPortThroughPpdev, // {port} {base} {program}: the kernel drives a port there
    RootOrCapability,   // {program} {path}
    RunAsRoot,          // {program}
};

// Placeholder name (without braces) to its value in each language.
using RefusalValues = std::map<std::string, Bilingual>;

// The reason's line and the remedy's line in both languages, each "{name}" replaced by its
// value.
AccessRefusal MakeRefusal(RefusalReason reason, RefusalRemedy remedy, const RefusalValues& values);

// An errno value as words: the C library's in English, ours in French for the errors a port
// access meets (the C library's English for any other).
Bilingual ErrnoText(int error);

// Who holds a port, as the texts name it: the printer driver lp, another program or driver
// when the kernel does not say, or the holder's own name.
Bilingual HolderText(const std::string& holder);

} // namespace port
