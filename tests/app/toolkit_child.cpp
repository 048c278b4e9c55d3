// The toolkit test's program: confines the toolkit as its first argument says ("raised" or
// "plain"), starts it with the arguments that follow, and tells whether the probe got loaded.
#include <QApplication>
#include <cstdio>
#include <fstream>
#include <string>

#include "ToolkitEnvironment.h"

int main(int argc, char** argv)
{
    ConfineToolkitLoading(argc > 1 && std::string(argv[1]) == "raised");
    int toolkitArgc = argc - 1; // the mode stands for the program's name
    QApplication app(toolkitArgc, argv + 1);
    std::ifstream maps("/proc/self/maps");
    bool loaded = false;
    for (std::string line; std::getline(maps, line);)
        loaded = loaded || line.find("tamsel_startup_probe") != std::string::npos;
    std::puts(loaded ? "probe loaded" : "probe not loaded");
}
