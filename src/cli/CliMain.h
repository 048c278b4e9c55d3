#pragma once
// The main of both tools over their port-access backend: Ctrl-C (and a termination request)
// end watching and capturing cleanly, the standard streams are the outputs.
#include <string>

#include "OsApi.h"

namespace cli {

int CliMain(int argc, char** argv, port::OsApi& os, const char* program);

// The full path of the running executable, in UTF-8.
std::string SelfPath();

} // namespace cli
