#pragma once
// A Value Change Dump as lines a person can read: one line for each time at which something
// changed, its time in seconds and the wires that changed, "0.005000000 Ack=1", as `watch`
// prints them. A capture of any length then prints as many lines as it has changes.
#include <iosfwd>
#include <string>

#include "ProfileFs.h"

namespace cli {

// Prints the dump at path. Returns why it cannot (a file that cannot be read, or text that is
// not a dump), or empty after printing it.
std::string ShowDump(ProfileFs& files, const std::string& path, std::ostream& out);

} // namespace cli
