#pragma once
// The tool's command line: the commands and their options, read with CLI11, then run.
#include "CliCommands.h"

namespace cli {

// Reads the command line (argv[0] is the program's path) and runs its command over os.
// Returns the exit code: kExitUsage for a command line that does not parse, kExitDone after
// --help.
int RunCli(int argc, const char* const* argv, port::OsApi& os, const CliEnv& env);

} // namespace cli
