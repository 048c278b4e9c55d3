#pragma once
// The memory a benchmark's process holds.
#include <cstdio>

// Resident set size of this process in kB, from /proc/self/status (VmRSS); -1 when unknown.
inline long ResidentKb()
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    long kb = -1;
    char line[256];
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1)
            break;
    std::fclose(f);
    return kb;
}
