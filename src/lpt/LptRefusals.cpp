// A refused port's reason and remedy in the window's log: the operating system says why the
// port cannot be reached, and each of its refusals becomes two red lines tagged with the port.
#include "uLPT.h"

void LptLogRefusals(int n, std::uint16_t address)
{
    LptHost* h = LptGetHost();
    if (h == nullptr || address == 0)
        return;
    std::vector<port::AccessRefusal> refusals;
    try {
        refusals = port::Os().RefusalsAt(address);
    } catch (const std::exception&) {
        return; // an explanation that cannot be had is left out; the step's lines stand
    }
    const std::string tag = "[LPT" + std::to_string(n) + "] ";
    for (const port::AccessRefusal& refusal : refusals) {
        h->LogRefusal(tag + "Accès refusé : " + refusal.French.Reason, clRed);
        h->LogRefusal(tag + "Solution : " + refusal.French.Remedy, clRed);
    }
}
