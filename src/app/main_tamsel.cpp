// tamsel: the program on the host's real port access.
#include "LinuxOs.h"
#include "ProgramMain.h"

int main()
{
    static port::LinuxOs os;
    return RunTamsel(os);
}
