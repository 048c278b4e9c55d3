#include "CliMain.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string_view>
#include <vector>

#include "CliApp.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
// after windows.h, whose types it uses
#include <shellapi.h>

#include "WideText.h"
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
    return port::Utf8(port::ExecutablePathW());
#else
    std::string path(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    return n > 0 ? path.substr(0, std::size_t(n)) : std::string();
#endif
}

namespace {

std::vector<std::string> Utf8Arguments(int argc, char** argv)
{
#ifdef _WIN32
    // The arguments as typed, from the wide command line: the narrow ones arrive in the ANSI
    // code page, which loses every character it lacks.
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; wide != nullptr && i < count; ++i)
        args.push_back(port::Utf8(wide[i]));
    LocalFree(wide);
    if (!args.empty() || argc == 0)
        return args;
#endif
    return std::vector<std::string>(argv, argv + argc);
}

} // namespace

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
    const std::vector<std::string> args = Utf8Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& a : args)
        pointers.push_back(a.c_str());
    return RunCli(int(pointers.size()), pointers.data(), os, env);
}

} // namespace cli
