#include <QFile>
#include <fstream>
#include <sstream>

#include "WindowFixture.h"
#include "kvDGraph.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

using StartupTest = WindowFixture;

const std::vector<LoggedLine> kDefaultStartupLog = {
    {"Recherche des ports parallèles disponibles...", clBlack},
    {"[LPT1] Ecriture/Lecture à l'adresse $378 - Ecriture = 55; Lecture = 55", clBlack},
    {"[LPT1] Valeur lue = Valeur écrite : port détecté à l'adresse $378", clGreen},
    {"[LPT2] Ecriture/Lecture à l'adresse $278 - Ecriture = 55; Lecture = FF", clBlack},
    {"[LPT2] Valeur lue <> Valeur écrite : port non détecté à l'adresse $278", clRed},
    {"[LPT3] Ecriture/Lecture à l'adresse $3BC - Ecriture = 55; Lecture = FF", clBlack},
    {"[LPT3] Valeur lue <> Valeur écrite : port non détecté à l'adresse $3BC", clRed},
    {"[LPT4] Port ignoré (adresse spécifiée = $000)", clBlack},
    {"[LPT5] Port ignoré (adresse spécifiée = $000)", clBlack},
    {"[LPT6] Port ignoré (adresse spécifiée = $000)", clBlack},
    {"[LPT7] Port ignoré (adresse spécifiée = $000)", clBlack},
    {"[LPT8] Port ignoré (adresse spécifiée = $000)", clBlack},
    {"Sélection port parallèle LPT1 (port detecté)", clBlack},
    {"Fin de recherche des ports parallèles disponibles, 1 port parallèle trouvé.", clBlack},
};

TEST_F(StartupTest, FreshDirectoryCreatesThePreferencesDetectsLpt1AndPrimesTheGraph)
{
    TfmMain& w = Start();
    EXPECT_EQ(ReadFile(IniPath()), DefaultUserPrefsText());
    EXPECT_EQ(Log(), kDefaultStartupLog);
    EXPECT_EQ(SelectedAddress, 888);
    EXPECT_TRUE(w.ActLPT[1]->Checked());
    EXPECT_TRUE(w.btnLPT[1]->isChecked());
    EXPECT_TRUE(w.ActLPT[1]->isEnabled());
    EXPECT_FALSE(w.ActLPT[2]->isEnabled());
    EXPECT_EQ(w.ActLPT[1]->toolTip().toStdString(), "LPT 1\nAdresse = $378 (888d)");
    EXPECT_TRUE(w.ActLptOpen->isEnabled());
    EXPECT_FALSE(w.ActLptClose->isEnabled());
    EXPECT_EQ(w.sbPanels[0]->text().toStdString(), "Port fermé");
    EXPECT_EQ(w.sbPanels[1]->text().toStdString(), "Lecture stoppée");
    EXPECT_TRUE(w.sbPanels[2]->text().isEmpty());

    // 64 all-low samples in a 64-sample window
    EXPECT_EQ(w.kvDGraph1->MaxItems(), 64);
    ASSERT_EQ(w.kvDGraph1->LstValues().size(), 64);
    for (const QString& s : w.kvDGraph1->LstValues())
        EXPECT_EQ(s.toStdString(), "00000000000000000");
    EXPECT_EQ(w.kvDGraph1->ValuePosition(), vpFullWidth);
    EXPECT_TRUE(errors.empty());
}

TEST_F(StartupTest, CloseWithNothingOpenWaitsTwiceAndSavesThePreferences)
{
    TfmMain& w = Start();
    EXPECT_TRUE(w.close());
    const std::string ini = ReadFile(IniPath());
    const std::string expected = DefaultUserPrefsText();
    // LPTPortAddrShowHexa inserted after LPT008Addr, WriteTest appended
    std::string withFlag = expected;
    withFlag.insert(withFlag.find("LPT008Addr=0\r\n") + 14, "LPTPortAddrShowHexa=0\r\n");
    withFlag += "[WriteTest]\r\nCanWrite=1\r\n";
    EXPECT_EQ(ini, withFlag);
}

TEST_F(StartupTest, CloseWhileTheLoopRunsStopsFirstClosesThenEndsTheLoop)
{
    TfmMain& w = Start();
    const std::size_t before = Log().size();
    std::uint64_t accessesAtClose = 0;
    DuringLoop([&](int cycle) {
        if (cycle == 3) {
            EXPECT_TRUE(w.close());
            accessesAtClose = bench.Port().AccessCount();
        }
    });
    w.ActLptOpenExecute(w.ActLptOpen);
    EXPECT_EQ(cycles, 3);
    EXPECT_EQ(LogSince(before),
              (std::vector<LoggedLine>{{"Chargement driver port parallèle...", clBlack},
                                       {"Chargement driver port parallèle : OK.", clGreen},
                                       {"Démarrage Lecture en boucle...", clBlack},
                                       {"Déchargement driver port parallèle...", clBlack},
                                       {"Déchargement driver port parallèle : OK.", clGreen},
                                       {"Arrêt Lecture en boucle.", clBlack}}));
    EXPECT_EQ(bench.Port().AccessCount(), accessesAtClose); // no read after the close
    EXPECT_FALSE(LoopRunning);
}

TEST_F(StartupTest, ExistingPreferencesAreUsedAndNotRewrittenAtStartUp)
{
    {
        std::ofstream f(IniPath(), std::ios::binary);
        f << "[lptportaddr]\r\nlpt001addr=0x278\r\nLPT002Addr=$378\r\n";
    }
    TfmMain& w = Start();
    EXPECT_EQ(LptPorts[1].Address, 632);
    EXPECT_EQ(LptPorts[2].Address, 888);
    EXPECT_FALSE(LptPorts[1].Detected);
    EXPECT_TRUE(LptPorts[2].Detected);
    EXPECT_EQ(SelectedAddress, 888);
    EXPECT_TRUE(w.ActLPT[2]->Checked());
    EXPECT_EQ(ReadFile(IniPath()), "[lptportaddr]\r\nlpt001addr=0x278\r\nLPT002Addr=$378\r\n");
}

TEST_F(StartupTest, AFailedSaveAbandonsTheCloseAndLeavesTheFileIntact)
{
    TfmMain& w = Start();
    const std::string before = ReadFile(IniPath());
    struct RefusingProfile : PrivateProfile {
        int writes = 0;
        std::string ReadString(const std::string&, const std::string&, const std::string&,
                               const std::string& defaultValue) override
        {
            return defaultValue;
        }
        bool WriteString(const std::string&, const std::string&, const std::string&,
                         const std::string&) override
        {
            return ++writes == 1; // the test write succeeds, the next one is refused
        }
    } refusing;
    UseUserPrefsStorage(&refusing, nullptr);
    EXPECT_FALSE(w.close());
    UseUserPrefsStorage(nullptr, nullptr);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Impossible d'écrire dans " + IniPath());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(ReadFile(IniPath()), before);
    EXPECT_TRUE(w.close()); // a later close runs the whole sequence again
}

} // namespace
