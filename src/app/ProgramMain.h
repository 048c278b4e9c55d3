#pragma once
// The program's main over one port-access backend; each executable passes its own.
#include "OsApi.h"

int RunTamsel(port::OsApi& os);
