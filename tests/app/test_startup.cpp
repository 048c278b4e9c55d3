#include <QFile>

#include "DetectLog.h"
#include "WindowFixture.h"
#include "kvDGraph.h"

#ifdef __linux__
#include "FakeLinuxSys.h"
#include "LinuxOs.h"
#endif

namespace {

using StartupTest = WindowFixture;

TEST_F(StartupTest, FreshDirectoryCreatesThePreferencesDetectsLpt1AndPrimesTheGraph)
{
    TfmMain& w = Start();
    EXPECT_EQ(ReadFile(IniPath()), DefaultUserPrefsText());
    EXPECT_EQ(Log(), fake::DefaultSearchLog("3BC", {"55", "FF", "FF"}, "1 port parallèle trouvé"));
    EXPECT_EQ(SelectedAddress, 888);
    EXPECT_TRUE(w.ActLPT[1]->Checked());
    EXPECT_TRUE(w.btnLPT[1]->isChecked());
    EXPECT_TRUE(w.ActLPT[1]->isEnabled());
    EXPECT_FALSE(w.ActLPT[2]->isEnabled());
    EXPECT_EQ(w.ActLPT[1]->toolTip().toStdString(), "LPT 1\nAdresse = $378 (888d)");

    // 64 all-low samples in a 64-sample window
    EXPECT_EQ(w.kvDGraph1->MaxItems(), 64);
    ASSERT_EQ(w.kvDGraph1->LstValues().size(), 64);
    for (const QString& s : w.kvDGraph1->LstValues())
        EXPECT_EQ(s.toStdString(), "00000000000000000");
    EXPECT_EQ(w.kvDGraph1->ValuePosition(), vpFullWidth);
    EXPECT_TRUE(errors.empty());
}

#ifdef __linux__
// A user outside group lp, without root: the port at $378, which the kernel drives, is followed
// in the log by why it is refused and what would give access.
TEST_F(StartupTest, ARefusedLinuxPortShowsItsReasonAndRemedyInTheLog)
{
    fake::FakeLinuxSys kernel;
    kernel.AddPort(0, "888\t1912\n");
    kernel.openErrors = {{"/dev/parport0", EACCES}, {"/dev/port", EACCES}};
    kernel.iopermError = EPERM;
    port::LinuxOs os(kernel, nullptr);
    port::UseOs(os);
    const auto log = (Start(), Log());
    EXPECT_EQ(std::vector<LoggedLine>(log.begin() + 3, log.begin() + 5),
              fake::NotInGroupLpLines(1, "/dev/parport0"));
    window.reset();
    port::UseOs(bench);
}
#endif

// The close query's moments, counted in reads of the tick counter, which advances by one on
// each: the first read with the loop's stop requested, the last with the port open, and the
// first after the save has begun (its test write adds "CanWrite" to the file).
struct CloseMoments {
    static inline int reads = 0;
    static inline int firstWithStopRequested = 0;
    static inline int lastWithPortOpen = 0;
    static inline int firstAfterSave = 0;
    static std::uint32_t Ticks()
    {
        ++reads;
        if (StopRequested && firstWithStopRequested == 0)
            firstWithStopRequested = reads;
        if (PortOpen)
            lastWithPortOpen = reads;
        if (firstAfterSave == 0 && ReadFile(PrefsFileName).find("CanWrite") != std::string::npos)
            firstAfterSave = reads;
        return std::uint32_t(reads);
    }
};

TEST_F(StartupTest, CloseStopsTheLoopWaitsClosesThePortWaitsAndSaves)
{
    struct Row {
        bool reading;
        int firstWithStopRequested, lastWithPortOpen;
        std::vector<LoggedLine> lines;
    };
    const Row rows[] = {
        {false, 0, 0, {}},
        {true, 1, 202, // each wait of 200 ms: its start and 201 reads more
         {{"Chargement driver port parallèle...", clBlack},
          {"Chargement driver port parallèle : OK.", clGreen},
          {"Démarrage Lecture en boucle...", clBlack},
          {"Déchargement driver port parallèle...", clBlack},
          {"Déchargement driver port parallèle : OK.", clGreen},
          {"Arrêt Lecture en boucle.", clBlack}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.reading ? "reading" : "nothing open");
        QFile::remove(QString::fromStdString(IniPath())); // each start writes the default file
        TfmMain& w = Start();
        const std::size_t before = Log().size();
        CloseMoments::reads = CloseMoments::firstWithStopRequested = 0;
        CloseMoments::lastWithPortOpen = CloseMoments::firstAfterSave = 0;
        std::uint64_t accessesAtClose = 0;
        DuringLoop([&](int cycle) {
            if (cycle == 3 && r.reading) {
                SetTickSource(&CloseMoments::Ticks);
                w.ActAppClose->trigger();
                accessesAtClose = bench.Port().AccessCount();
            }
        });
        if (r.reading) {
            w.ActLptOpen->trigger();
        } else {
            SetTickSource(&CloseMoments::Ticks);
            w.ActAppClose->trigger();
        }
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(CloseMoments::firstWithStopRequested, r.firstWithStopRequested);
        EXPECT_EQ(CloseMoments::lastWithPortOpen, r.lastWithPortOpen);
        EXPECT_EQ(CloseMoments::reads, 404);
        EXPECT_EQ(CloseMoments::firstAfterSave, 0); // the save comes after both waits
        EXPECT_EQ(LogSince(before), r.lines);
        EXPECT_FALSE(LoopRunning);
        if (r.reading) {
            EXPECT_EQ(bench.Port().AccessCount(), accessesAtClose); // no read after the close
        }
        // LPTPortAddrShowHexa inserted after LPT008Addr, WriteTest appended
        std::string saved = DefaultUserPrefsText();
        saved.insert(saved.find("LPT008Addr=0\r\n") + 14, "LPTPortAddrShowHexa=0\r\n");
        EXPECT_EQ(ReadFile(IniPath()), saved + "[WriteTest]\r\nCanWrite=1\r\n");
        Reload();
        SetTickSource(&FastTicks);
    }
}

TEST_F(StartupTest, AFailedSaveAbandonsTheCloseAfterThePortIsClosedAndLeavesTheFileIntact)
{
    TfmMain& w = StartOpen(false);
    const std::string before = ReadFile(IniPath());
    const std::size_t lines = Log().size();
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
    EXPECT_FALSE(PortOpen); // the port was closed before the save
    EXPECT_EQ(LogSince(lines),
              (std::vector<LoggedLine>{{"Déchargement driver port parallèle...", clBlack},
                                       {"Déchargement driver port parallèle : OK.", clGreen}}));
    EXPECT_EQ(ReadFile(IniPath()), before);
    EXPECT_TRUE(w.close()); // a later close runs the whole sequence again
}

} // namespace
