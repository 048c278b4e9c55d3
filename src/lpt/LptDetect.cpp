// Port detection: for each configured base address, write the test byte 0x55 to the data
// register and read it back; a port whose data register holds the value written is detected.
#include <cstdio>

#include "uLPT.h"

namespace {

constexpr std::uint32_t kTestByte = 0x55;
constexpr std::uint32_t kDetectWaitMs = 100;

std::string Format(const char* pattern, int n)
{
    char text[256];
    std::snprintf(text, sizeof text, pattern, n);
    return text;
}

std::string PortTag(int n) { return Format("[LPT%d] ", n); }

} // namespace

std::string LptActionHint(int n, std::uint16_t address)
{
    return Format("LPT %d", n) + "\r" + "Adresse = $" + LptHexAddress(address) + " (" +
           LptDecAddress(address) + "d)";
}

void LptDetectPorts()
{
    LptHost* h = LptGetHost();
    auto log = [h](const std::string& text, TColor colour) {
        if (h)
            h->LogMessage(text, colour);
    };
    int count = 0;

    LptSetWidth(pwByte);
    log("Recherche des ports parallèles disponibles...", clBlack);
    try {
        for (int n = 1; n <= kLptPortCount; ++n) {
            const std::uint16_t a = LptPorts[n].Address;
            LptPorts[n].Detected = false;
            LptSelectAddress(a);
            if (a == 0) {
                log(Format("[LPT%d] Port ignoré (adresse spécifiée = $000)", n), clBlack);
                continue;
            }
            if (h)
                h->Delay(kDetectWaitMs);
            LptLoadDriver();
            if (!PortOpen) {
                LptLogRefusals(n, a);
                continue;
            }
            const std::uint32_t w = kTestByte;
            LptWriteData(w);
            const std::uint32_t r = LptReadData();
            const bool ok = r == w;
            LptPorts[n].Detected = ok;
            LptPorts[n].Address = LptSelectedAddress();
            log(PortTag(n) + "Ecriture/Lecture à l'adresse $" + LptHexAddress(a) +
                    " - Ecriture = " + LptHex(w) + "; Lecture = " + LptHex(r),
                clBlack);
            log(PortTag(n) +
                    (ok ? "Valeur lue = Valeur écrite : port détecté "
                        : "Valeur lue <> Valeur écrite : port non détecté ") +
                    "à l'adresse $" + LptHexAddress(a),
                ok ? clGreen : clRed);
            // A value that did not come back may be a port the system refuses: the lines above
            // then show a write and a read that never reached it, and the reason follows them.
            if (ok)
                ++count;
            else
                LptLogRefusals(n, a);
            LptUnloadDriver();
        }

        int first = 0;
        for (int n = 1; n <= kLptPortCount && first == 0; ++n)
            if (LptPorts[n].Detected)
                first = n;
        if (first != 0) {
            if (h)
                h->CheckAndExecuteLptAction(first);
            LptLoadDriver();
        }
        if (PortOpen) {
            LptDataOutputMode();
            LptWriteData(0);
            LptUnloadDriver();
        }
    } catch (const std::exception&) {
        // an error anywhere in the search ends it; the count reached so far stands
    }

    if (count >= 2)
        log(Format("Fin de recherche des ports parallèles disponibles, %d ports parallèles trouvés.",
                   count),
            clBlack);
    else
        log(Format("Fin de recherche des ports parallèles disponibles, %d port parallèle trouvé.",
                   count),
            clBlack);
    for (int n = 1; n <= kLptPortCount; ++n)
        if (h)
            h->SetLptActionHint(n, LptActionHint(n, LptPorts[n].Address));
    if (h)
        h->UpdateMainWindowState();
}
