// tamsel-cli-demo: the tool on the simulated bench, one port at 888 with a loopback plug.
#include "BenchOs.h"
#include "CliMain.h"

int main(int argc, char** argv)
{
    static bench::BenchOs os(cli::SelfPath());
    return cli::CliMain(argc, argv, os, "tamsel-cli-demo");
}
