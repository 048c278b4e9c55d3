#pragma once
// Small helpers of the whole program: the wrapping millisecond tick counter, the wait that
// pumps window messages, and the two selectors by a flag.
#include <cstdint>
#include <string>

// The system's 32-bit millisecond tick counter; it wraps after about 49.7 days.
std::uint32_t GetTickCount();
// Replaces the counter's source (tests); null restores the system clock.
using TickSource = std::uint32_t (*)();
void SetTickSource(TickSource source);

// Waits until more than the given number of milliseconds have passed on the tick counter,
// processing all pending window messages on every pass.
void Delay(std::uint32_t milliseconds);

std::string IfThenStr(bool condition, const std::string& whenTrue, const std::string& whenFalse);
std::int64_t IfThenInt(bool condition, std::int64_t whenTrue, std::int64_t whenFalse);

// The application directory (up to and including the last "\", "/" or ":") and the preferences
// file (the extension of the file name replaced by ".ini") of an executable's full path.
std::string AppDirOf(const std::string& executablePath);
std::string PrefsFileNameOf(const std::string& executablePath);
