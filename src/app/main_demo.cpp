// tamsel-demo: the program on the simulated bench, one port at 888 with a loopback plug.
#include "BenchOs.h"
#include "ProgramMain.h"

int main()
{
    static bench::BenchOs os;
    return RunTamsel(os, {}, Edition::Demo);
}
