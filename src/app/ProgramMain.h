#pragma once
// The program's main over one port-access backend; each executable passes its own.
#include <string>

#include "Edition.h"
#include "OsApi.h"

// Runs the program until its main window has been closed and returns the message loop's exit
// code. The preferences and the readme are found beside executablePath; empty means the
// running program's own path.
int RunTamsel(port::OsApi& os, const std::string& executablePath = {},
              Edition edition = Edition::Real);

// Chooses the toolkit's plain Unix event dispatcher over its GLib one, before the application
// object exists. The read loop pumps the message queue once per cycle; the plain dispatcher
// dispatches the same input, paint and timer events at about a third of the instructions per
// pass.
void ChooseMessagePump();
