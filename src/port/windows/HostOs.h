#pragma once
// The host backend of the Windows build.
#include "WindowsOs.h"

namespace port {
using HostOs = WindowsOs;
}
