#pragma once
// The host backend of the Linux build.
#include "LinuxOs.h"

namespace port {
using HostOs = LinuxOs;
}
