#include "SystemPortsReport.h"

#include <algorithm>
#include <cstdio>

namespace port {

namespace {

std::string Hex(std::uint16_t value, bool french)
{
    char text[8];
    std::snprintf(text, sizeof text, french ? "$%.3X" : "0x%X", unsigned(value));
    return text;
}

std::string Ranges(const SystemPort& port, bool french)
{
    std::string text;
    for (const DeviceRange& range : port.Ranges) {
        text += (text.empty() ? "" : ", ") + Hex(range.First, french);
        if (range.Last != range.First)
            text += "-" + Hex(range.Last, french);
    }
    if (text.empty())
        return french ? "sans plage d'E/S" : "without an I/O range";
    return (french ? "à " : "at ") + text;
}

} // namespace

std::vector<std::string> SystemPortLines(const std::vector<SystemPort>& ports,
                                         const std::vector<std::uint16_t>& configured,
                                         bool french)
{
    std::vector<std::string> lines;
    if (ports.empty())
        lines.push_back(french ? "Windows ne connaît aucun port parallèle (Gestionnaire de "
                                 "périphériques, Ports (COM et LPT))"
                               : "Windows lists no parallel port (Device Manager, Ports (COM & "
                                 "LPT))");
    for (const SystemPort& port : ports)
        lines.push_back((french ? "Port parallèle connu de Windows : " : "Windows lists ") +
                        port.Name + " " + Ranges(port, french));
    for (const SystemPort& port : ports) {
        if (port.Ranges.empty())
            continue;
        const std::uint16_t base = port.Ranges.front().First;
        if (std::find(configured.begin(), configured.end(), base) != configured.end())
            continue;
        lines.push_back(
            french ? port.Name + " de Windows, à l'adresse " + Hex(base, french) +
                         ", n'est pas parmi les adresses configurées : l'ajouter dans Fichier › "
                         "Options (recherché au prochain démarrage)"
                   : port.Name + " of Windows at " + Hex(base, french) +
                         " is not among the configured addresses: add it in the Options dialog "
                         "(Fichier > Options), searched at the next start");
    }
    return lines;
}

} // namespace port
