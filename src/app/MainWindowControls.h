#pragma once
// The main window's own controls as the window configures them at creation.
class TkvoeBasicLed;
class TkvSwitch;
class TkvDGraph;

// ledLptDriverStatus: driver loaded and port open.
void ConfigureDriverStatusLed(TkvoeBasicLed& led);
// ledLPTInputsReadInLoop: read loop running.
void ConfigureLoopLed(TkvoeBasicLed& led);
// The twelve output switches, btnD0 to btnD7, btnStrobe, btnAutofeed, btnInit and btnSelect.
void ConfigureOutputSwitch(TkvSwitch& sw);
// kvDGraph1: the 17-trace chronogram of the port's lines.
void ConfigureMainGraph(TkvDGraph& graph);
