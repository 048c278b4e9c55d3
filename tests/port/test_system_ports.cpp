#include <gtest/gtest.h>

#include "SystemPortsReport.h"

namespace {

// The system's parallel ports as the start-up report (English) and the window's log (French)
// give them, and a listed port whose base the preferences do not search.
TEST(SystemPortLines, ListEachPortWithItsRangesAndTheOnesNotConfigured)
{
    struct Row {
        std::vector<port::SystemPort> ports;
        bool french;
        std::vector<std::string> lines;
    };
    const std::vector<std::uint16_t> configured = {888, 632, 956, 0, 0, 0, 0, 0};
    const Row rows[] = {
        {{}, false, {"Windows lists no parallel port (Device Manager, Ports (COM & LPT))"}},
        {{}, true, {"Windows ne connaît aucun port parallèle (Gestionnaire de périphériques, "
                    "Ports (COM et LPT))"}},
        {{{"LPT1", {{0x378, 0x37F}, {0x778, 0x77A}}}, {"LPT3", {}}}, false,
         {"Windows lists LPT1 at 0x378-0x37F, 0x778-0x77A", "Windows lists LPT3 without an I/O range"}},
        {{{"LPT2", {{0xD010, 0xD017}, {0xD000, 0xD003}}}}, true,
         {"Port parallèle connu de Windows : LPT2 à $D010-$D017, $D000-$D003",
          "LPT2 de Windows, à l'adresse $D010, n'est pas parmi les adresses configurées : "
          "l'ajouter dans Fichier › Options (recherché au prochain démarrage)"}},
        {{{"LPT2", {{0xD010, 0xD010}}}}, false,
         {"Windows lists LPT2 at 0xD010",
          "LPT2 of Windows at 0xD010 is not among the configured addresses: add it in the "
          "Options dialog (Fichier > Options), searched at the next start"}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(port::SystemPortLines(r.ports, configured, r.french), r.lines);
}

} // namespace
