#pragma once
// What the port model needs from the main window: log a line (a refused port's reason and
// remedy among them), set the driver LED and label, read the invert option, request the stop of
// a running read loop, recompute the window state, select and run an LPTn action, write an LPTn
// hint, and wait while pumping messages. The main window implements it; tests implement it too.
#include <cstdint>
#include <string>

#include "Colors.h"

class LptHost {
public:
    virtual ~LptHost() = default;

    virtual void LogMessage(const std::string& text, TColor colour) = 0;
    // One line of a refused port's reason or remedy, in the window's language, written after
    // the lines of the step that met the refusal. A host that tells refusals its own way may
    // leave it out.
    virtual void LogRefusal(const std::string& text, TColor colour) { LogMessage(text, colour); }
    // Checked state of "Inverser états logiques lus".
    virtual bool InvertStatesChecked() = 0;

    virtual void SetDriverLedStandBy(bool standBy) = 0;
    virtual void SetDriverLedActive(bool active) = 0;
    virtual void SetLoopLedStandBy(bool standBy) = 0;
    virtual void SetDriverStatusText(const std::string& text) = 0;

    // Sets StopRequested when the read loop is running.
    virtual void RequestLoopStopIfRunning() = 0;
    virtual void UpdateMainWindowState() = 0;

    // Among the window's components, every action whose name starts with "ACTLPT" (compared in
    // upper case) and whose tag is n is checked and run through the shared LPTn handler.
    virtual void CheckAndExecuteLptAction(int n) = 0;
    virtual void SetLptActionHint(int n, const std::string& hint) = 0;

    virtual void Delay(std::uint32_t milliseconds) = 0;
};
