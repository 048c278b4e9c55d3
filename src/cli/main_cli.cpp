// tamsel-cli: the tool on the host's real port access.
#include "CliMain.h"

#ifdef _WIN32
#include "WindowsOs.h"
#else
#include "LinuxOs.h"
#endif

int main(int argc, char** argv)
{
#ifdef _WIN32
    static port::WindowsOs os;
#else
    static port::LinuxOs os(stderr, "tamsel-cli");
#endif
    return cli::CliMain(argc, argv, os, "tamsel-cli");
}
