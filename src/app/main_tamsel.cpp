// tamsel: the program on the host's real port access.
#include "HostOs.h"
#include "ProgramMain.h"

int main()
{
    static port::HostOs os;
    return RunTamsel(os);
}
