#include "WindowsRefusals.h"

#include <cstdio>

namespace port {

namespace {

std::string Code(std::uint32_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, code > 0xFFFF ? "0x%08X" : "%u", unsigned(code));
    return text;
}

const std::string kAsAdministratorEn = "start Tamsel once with \"Run as administrator\"";
const std::string kAsAdministratorFr =
    "démarrer Tamsel une fois avec « Exécuter en tant qu'administrateur »";
const std::string kUseLibraryEn =
    "use InpOutx64: put its 64-bit inpoutx64.dll in the program's folder and start Tamsel once "
    "with \"Run as administrator\"";
const std::string kUseLibraryFr =
    "utiliser InpOutx64 : placer son inpoutx64.dll 64 bits dans le dossier du programme et "
    "démarrer Tamsel une fois avec « Exécuter en tant qu'administrateur »";

AccessRefusal Refusal(std::string reasonEn, std::string remedyEn, std::string reasonFr,
                      std::string remedyFr)
{
    return {{std::move(reasonEn), std::move(remedyEn)}, {std::move(reasonFr), std::move(remedyFr)}};
}

// Why the driver zlportio.sys beside the program did not start.
AccessRefusal DriverRefusal(std::uint32_t code)
{
    const std::string c = Code(code);
    switch (code) {
    case kErrorAccessDenied:
        return Refusal("starting the port driver zlportio needs administrator rights (error 5)",
                       kAsAdministratorEn,
                       "le démarrage du driver de port zlportio exige les droits d'administrateur "
                       "(erreur 5)",
                       kAsAdministratorFr);
    case kErrorDriverBlocked:
    case kErrorBadExeFormat:
    case kErrorExeMachineTypeMismatch:
        return Refusal("zlportio.sys is a 32-bit driver, which 64-bit Windows does not load (error " +
                           c + ")",
                       kUseLibraryEn,
                       "zlportio.sys est un driver 32 bits, que Windows 64 bits ne charge pas "
                       "(erreur " + c + ")",
                       kUseLibraryFr);
    case kErrorInvalidImageHash:
        return Refusal("Windows loads no unsigned driver, and zlportio.sys has no valid signature "
                       "(error 577)",
                       kUseLibraryEn,
                       "Windows ne charge aucun driver non signé, et zlportio.sys n'a pas de "
                       "signature valide (erreur 577)",
                       kUseLibraryFr);
    case kCertRevoked:
        return Refusal("Windows blocks the port driver: memory integrity or the vulnerable driver "
                       "blocklist stops it (error 0x800B010C), as Windows Security > Device "
                       "security > Core isolation shows",
                       "keep that protection on and reach the port another way: from Linux "
                       "through ppdev, or with a USB I/O adapter",
                       "Windows bloque le driver de port : l'intégrité de la mémoire ou la liste de "
                       "blocage des drivers vulnérables l'arrête (erreur 0x800B010C), comme le "
                       "montre Sécurité Windows › Sécurité de l'appareil › Isolation du noyau",
                       "garder cette protection et atteindre le port autrement : depuis Linux par "
                       "ppdev, ou avec un adaptateur d'E/S USB");
    default:
        return Refusal("the port driver zlportio did not start (error " + c + ")", kUseLibraryEn,
                       "le driver de port zlportio n'a pas démarré (erreur " + c + ")",
                       kUseLibraryFr);
    }
}

// Why the port library beside the program gives no port access; nothing when it is absent.
std::vector<AccessRefusal> LibraryRefusal(const PortLibrary& library)
{
    const std::string replaceEn = "put the 64-bit inpoutx64.dll of InpOutx64 in its place";
    const std::string replaceFr = "mettre à sa place l'inpoutx64.dll 64 bits d'InpOutx64";
    switch (library.State) {
    case PortLibraryState::Unloadable:
        return {Refusal("inpoutx64.dll in the program's folder does not load (error " +
                            Code(library.Error) + ")",
                        replaceEn,
                        "inpoutx64.dll, dans le dossier du programme, ne se charge pas (erreur " +
                            Code(library.Error) + ")",
                        replaceFr)};
    case PortLibraryState::Incomplete:
        return {Refusal("inpoutx64.dll in the program's folder lacks the port functions of "
                        "InpOutx64",
                        replaceEn,
                        "inpoutx64.dll, dans le dossier du programme, n'a pas les fonctions de port "
                        "d'InpOutx64",
                        replaceFr)};
    case PortLibraryState::DriverClosed:
        return {Refusal("inpoutx64.dll is there but its driver is not open: InpOutx64 installs it "
                        "on its first run as administrator",
                        kAsAdministratorEn,
                        "inpoutx64.dll est présente mais son driver n'est pas ouvert : InpOutx64 "
                        "l'installe à son premier démarrage en administrateur",
                        kAsAdministratorFr)};
    case PortLibraryState::Absent:
    case PortLibraryState::Open:
        break;
    }
    return {};
}

} // namespace

std::vector<AccessRefusal> WaysRefusals(bool driverOpen, bool driverFile, std::uint32_t driverCode,
                                        const PortLibrary& library)
{
    if (driverOpen)
        return {};
    std::vector<AccessRefusal> refusals = LibraryRefusal(library);
    if (!driverFile) {
        if (library.State == PortLibraryState::Absent)
            refusals.push_back(Refusal(
                "neither the port driver zlportio.sys nor inpoutx64.dll is in the program's folder",
                kUseLibraryEn,
                "ni le driver de port zlportio.sys ni inpoutx64.dll n'est dans le dossier du "
                "programme",
                kUseLibraryFr));
        return refusals;
    }
    refusals.insert(refusals.begin(), DriverRefusal(driverCode));
    return refusals;
}

AccessRefusal HeldByAnotherCopy(std::uint16_t base)
{
    char en[8], fr[8];
    std::snprintf(en, sizeof en, "0x%X", unsigned(base));
    std::snprintf(fr, sizeof fr, "$%.3X", unsigned(base));
    return Refusal(std::string("another copy of Tamsel is using the port at ") + en,
                   "close that copy, or choose another port",
                   std::string("une autre copie de Tamsel utilise le port à l'adresse ") + fr,
                   "fermer cette copie, ou choisir un autre port");
}

std::string WayInUse(bool driverOpen, bool directIo, bool driverFile, std::uint32_t driverCode)
{
    if (driverOpen && !directIo)
        return "ports reached through the port driver zlportio";
    std::string driver = driverFile ? DriverRefusal(driverCode).English.Reason
                                    : "no port driver zlportio.sys in the program's folder";
    return driver + (driverOpen ? "; ports reached through inpoutx64.dll (InpOutx64)"
                                : "; no way to the ports");
}

} // namespace port
