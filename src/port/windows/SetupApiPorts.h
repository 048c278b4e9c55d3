#pragma once
// The parallel ports that Windows knows: the present devices of the Ports class whose port
// name is LPTn, with the I/O ranges allotted to them (as Device Manager shows them).
#include <vector>

#include "../OsApi.h"

namespace port {

std::vector<SystemPort> ListSystemParallelPorts();

} // namespace port
