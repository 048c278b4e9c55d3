#include "CliMain.h"

#include <csignal>
#include <cstdio>
#include <iostream>

#include "CliApp.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace cli {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void RequestStop(int) { stopRequested = 1; }

bool IsTerminal(std::FILE* stream)
{
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

} // namespace

std::string SelfPath()
{
#ifdef _WIN32
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
        if (n == 0)
            return {};
        if (n < path.size())
            return path.substr(0, n);
        path.resize(path.size() * 2);
    }
#else
    std::string path(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    return n > 0 ? path.substr(0, std::size_t(n)) : std::string();
#endif
}

int CliMain(int argc, char** argv, port::OsApi& os, const char* program)
{
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
#ifdef SIGPIPE
    // A reader that goes away (watch | head) is seen as a failed write, which ends the run with
    // the port put back as it was.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    CliEnv env;
    env.Program = program;
    env.ExecutablePath = SelfPath();
    env.Out = &std::cout;
    env.Err = &std::cerr;
    env.ErrIsTerminal = IsTerminal(stderr);
    env.OutIsTerminal = IsTerminal(stdout);
    env.Stop = &stopRequested;
    return RunCli(argc, argv, os, env);
}

} // namespace cli
