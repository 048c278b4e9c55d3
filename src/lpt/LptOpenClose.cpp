// Opening and closing the selected port: adopting the driver state made available at program
// start, and stopping and deleting the driver service on close, with their log lines and the
// driver indicator of the main window.
#include "uLPT.h"

namespace {

LptHost* Host() { return LptGetHost(); }

void Log(const std::string& text, TColor colour)
{
    if (LptHost* h = Host())
        h->LogMessage(text, colour);
}

} // namespace

void LptLoadDriver()
{
    PortOpen = DriverOpen;
    DriverLoaded = PortOpen;
}

void LptUnloadDriver()
{
    try {
        DriverStopRemove();
    } catch (const std::exception&) {
    }
    PortOpen = false;
}

void LptOpen()
{
    const int idx = LptSelectedIndex();
    if (idx == -1) {
        Log("Aucun port parallèle sélectionné !", clRed);
        return;
    }
    if (!LptPorts[idx].Detected) {
        Log("Impossible de charger le driver du port parallèle (port non détecté)", clRed);
        return;
    }
    Log("Chargement driver port parallèle...", clBlack);
    LptHost* h = Host();
    if (h) {
        h->SetDriverLedStandBy(false);
        h->SetLoopLedStandBy(false);
        h->SetDriverLedActive(PortOpen);
    }
    LptLoadDriver();
    if (h) {
        h->SetDriverLedActive(PortOpen);
        h->SetDriverStatusText(PortOpen ? "Driver port parallèle chargé avec succès."
                                        : "Driver port parallèle non chargé - Erreur !");
    }
    Log(PortOpen ? "Chargement driver port parallèle : OK."
                 : "Chargement driver port parallèle : Erreur !",
        DriverLoaded ? clGreen : clRed);
    if (h)
        h->UpdateMainWindowState();
}

void LptClose()
{
    LptHost* h = Host();
    if (h)
        h->RequestLoopStopIfRunning();
    Log("Déchargement driver port parallèle...", clBlack);
    if (h) {
        h->SetDriverLedStandBy(true);
        h->SetDriverLedActive(PortOpen);
    }
    LptUnloadDriver();
    if (h) {
        h->SetDriverLedActive(PortOpen);
        h->SetDriverStatusText("Driver port parallèle déchargé avec succès.");
    }
    Log("Déchargement driver port parallèle : OK.", clGreen);
    if (h)
        h->UpdateMainWindowState();
}

void LptSelectPort(int n)
{
    LptSelectAddress(LptPorts[n].Address);
    if (SelectedAddress != LptPorts[n].Address)
        return; // refused while a port is open: no line
    const bool detected = LptPorts[n].Detected;
    Log("Sélection port parallèle LPT" + std::to_string(n) + " (" +
            (detected ? "port detecté" : "port non detecté") + ")",
        detected ? clBlack : clRed);
}
