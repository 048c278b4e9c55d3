#include "LinuxRefusals.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace port {

namespace {

struct Wording {
    const char* English;
    const char* French;
};

// Indexed by RefusalReason.
constexpr std::array<Wording, 13> kReasons{{
    {"{device} went away ({error})", "{device} a disparu ({error})"},
    {"{device}: {error}: you are not in group lp",
     "{device} : {error} : vous n'êtes pas dans le groupe lp"},
    {"{device}: {error}: the ppdev module is not loaded",
     "{device} : {error} : le module ppdev n'est pas chargé"},
    {"{device} cannot be opened: {error}", "{device} ne peut pas être ouvert : {error}"},
    {"{port} is held by {holder} and cannot be claimed",
     "{port} est tenu par {holder} et ne peut pas être réservé"},
    {"{port} is held by {holder} and was not released within {wait}",
     "{port} est tenu par {holder} et n'a pas été libéré en {wait}"},
    {"{port} cannot take another user ({error}): it is gone, or another program or driver "
     "holds it exclusively",
     "{port} n'accepte pas d'autre utilisateur ({error}) : il a disparu, ou un autre programme "
     "ou pilote le tient en exclusivité"},
    {"{port} cannot be claimed: {error}", "{port} ne peut pas être réservé : {error}"},
    {"the kernel is locked down ({lockdown}, see {file}): /dev/port and ioperm are forbidden",
     "le noyau est verrouillé ({lockdown}, voir {file}) : /dev/port et ioperm y sont interdits"},
    {"this processor is not x86 and has no I/O port instructions (/dev/port: {devport})",
     "ce processeur n'est pas un x86 et n'a pas d'instructions d'E/S (/dev/port : {devport})"},
    {"this kernel offers no raw port access (/dev/port: {devport}; ioperm: {ioperm})",
     "ce noyau n'offre aucun accès direct aux ports (/dev/port : {devport} ; ioperm : "
     "{ioperm})"},
    {"raw port I/O needs root or CAP_SYS_RAWIO (/dev/port: {devport}; ioperm: {ioperm})",
     "l'accès direct aux ports demande root ou CAP_SYS_RAWIO (/dev/port : {devport} ; "
     "ioperm : {ioperm})"},
    {"not a parallel-port register: {program} has its right to raw port I/O from its file (a "
     "capability or set-user-id), which reaches parallel ports only",
     "ce n'est pas un registre de port parallèle : {program} tient son droit d'accès direct aux "
     "ports de son fichier (une capacité ou set-user-id), qui n'atteint que les ports parallèles"},
}};

// Indexed by RefusalRemedy. Where the kernel drives a port, its ppdev device and group lp
// come first; no remedy turns a protection of the system off.
constexpr std::array<Wording, 12> kRemedies{{
    {"reconnect the port and start {program} again", "rebranchez le port et relancez {program}"},
    {"sudo usermod -aG lp $USER, then log out and back in (or run {program} as root)",
     "sudo usermod -aG lp $USER, puis fermez la session et rouvrez-la (ou lancez {program} en "
     "root)"},
    {"sudo modprobe ppdev (list ppdev in /etc/modules to load it at every boot)",
     "sudo modprobe ppdev (ajoutez ppdev à /etc/modules pour le charger à chaque démarrage)"},
    {"see what the kernel says about {port} (sudo dmesg | grep parport)",
     "voyez ce que le noyau dit de {port} (sudo dmesg | grep parport)"},
    {"sudo rmmod lp (or let the printing end), then start {program} again",
     "sudo rmmod lp (ou laissez l'impression se terminer), puis relancez {program}"},
    {"close the other program that uses {device} (sudo fuser -v {device} names it), then start "
     "{program} again",
     "fermez l'autre programme qui utilise {device} (sudo fuser -v {device} le nomme), puis "
     "relancez {program}"},
    {"close the other program that uses {device} (sudo fuser -v {device} names it), or see "
     "whether the kernel still lists {port} (sudo dmesg | grep parport), then start {program} "
     "again",
     "fermez l'autre programme qui utilise {device} (sudo fuser -v {device} le nomme), ou voyez "
     "si le noyau connaît encore {port} (sudo dmesg | grep parport), puis relancez {program}"},
    {"sudo rmmod {holder}, then start {program} again",
     "sudo rmmod {holder}, puis relancez {program}"},
    {"use a port the kernel drives, through ppdev: sudo modprobe parport_pc ppdev, and be in "
     "group lp (sudo usermod -aG lp $USER)",
     "passez par ppdev, sur un port que pilote le noyau : sudo modprobe parport_pc ppdev, et "
     "soyez membre du groupe lp (sudo usermod -aG lp $USER)"},
    {"reach {port} at {base} through ppdev as a member of group lp (sudo usermod -aG lp $USER, "
     "then log out and back in), or run {program} as root",
     "passez par ppdev pour {port} en {base}, membre du groupe lp (sudo usermod -aG lp $USER, "
     "puis fermez la session et rouvrez-la), ou lancez {program} en root"},
    {"run {program} as root, or once: sudo setcap cap_sys_rawio+ep {path} (warning: every user "
     "who runs it then reaches the parallel ports, and only them)",
     "lancez {program} en root, ou une fois : sudo setcap cap_sys_rawio+ep {path} (attention : "
     "tout utilisateur qui le lance atteint alors les ports parallèles, et eux seuls)"},
    {"run {program} as root", "lancez {program} en root"},
}};

static_assert(kReasons.size() == std::size_t(RefusalReason::NotParallel) + 1);
static_assert(kRemedies.size() == std::size_t(RefusalRemedy::RunAsRoot) + 1);

std::string Fill(const char* pattern, const RefusalValues& values, bool french)
{
    std::string text = pattern, out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t close = text[i] == '{' ? text.find('}', i) : std::string::npos;
        auto value = close == std::string::npos ? values.end()
                                                : values.find(text.substr(i + 1, close - i - 1));
        if (value == values.end()) {
            out += text[i++];
            continue;
        }
        out += french ? value->second.French : value->second.English;
        i = close + 1;
    }
    return out;
}

} // namespace

AccessRefusal MakeRefusal(RefusalReason reason, RefusalRemedy remedy, const RefusalValues& values)
{
    const Wording& why = kReasons.at(std::size_t(reason));
    const Wording& how = kRemedies.at(std::size_t(remedy));
    return {{Fill(why.English, values, false), Fill(how.English, values, false)},
            {Fill(why.French, values, true), Fill(how.French, values, true)}};
}

Bilingual ErrnoText(int error)
{
    const char* french = nullptr;
    switch (error) {
    case EACCES: french = "permission refusée"; break;
    case EPERM: french = "opération non permise"; break;
    case ENOENT: french = "fichier introuvable"; break;
    case ENODEV: french = "périphérique absent"; break;
    case ENXIO: french = "périphérique ou adresse absents"; break;
    case ENOSYS: french = "fonction absente de ce noyau"; break;
    case EIO: french = "erreur d'entrée/sortie"; break;
    case EBUSY: french = "périphérique occupé"; break;
    case EINTR: french = "appel interrompu"; break;
    default: break;
    }
    const std::string english = std::strerror(error);
    return {english, french != nullptr ? french : english};
}

Bilingual HolderText(const std::string& holder)
{
    if (holder.empty())
        return {"another program or driver", "un autre programme ou pilote"};
    if (holder == "lp")
        return {"the printer driver lp", "le pilote d'imprimante lp"};
    return Both(holder);
}

} // namespace port
