#include "OsApi.h"

namespace port {

namespace {
OsApi* current = nullptr;
}

OsApi& Os()
{
    if (current == nullptr)
        throw std::logic_error("no operating-system backend installed");
    return *current;
}

void UseOs(OsApi& os) { current = &os; }

} // namespace port
