#pragma once
// The event log: one coloured line per step the user should follow.
#include <string>

#include "Colors.h"

// Colours of the program's log lines: progress, success, failure or refusal.
constexpr TColor kLogProgress = clBlack;
constexpr TColor kLogSuccess = clGreen;
constexpr TColor kLogFailure = clRed;

// Appends the text as a new last line of the main window's log, in the colour; never fails
// towards the caller.
void LogMessage(const std::string& text, TColor colour);
