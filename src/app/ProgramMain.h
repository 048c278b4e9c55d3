#pragma once
// The program's main over one port-access backend; each executable passes its own.
#include "OsApi.h"

int RunTamsel(port::OsApi& os);

// Chooses the toolkit's plain Unix event dispatcher over its GLib one, before the application
// object exists. The read loop pumps the message queue once per cycle; the plain dispatcher
// dispatches the same input, paint and timer events at about a third of the instructions per
// pass.
void ChooseMessagePump();
