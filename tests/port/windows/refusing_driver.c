/* A port driver that the system refuses to start, as 64-bit Windows refuses a 32-bit one:
 * its entry reports the driver blocked. */
#include <ddk/wdm.h>

#ifndef STATUS_DRIVER_BLOCKED
#define STATUS_DRIVER_BLOCKED ((NTSTATUS)0xC000036CL)
#endif

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    (void)driver;
    (void)registryPath;
    return STATUS_DRIVER_BLOCKED;
}
