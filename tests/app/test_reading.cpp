#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include "UiInput.h"
#include "WindowFixture.h"
#include "kvSwitch.h"
#include "kvDGraph.h"
#include "kvoeLed.h"

namespace {

using ReadingTest = WindowFixture;

TEST_F(ReadingTest, OuvrirStartsTheLoopAndLectureStartsItAgain)
{
    TfmMain& w = Start();
    const std::size_t before = Log().size();
    bool sawReading = false;
    DuringLoop([&](int cycle) {
        if (cycle == 1) {
            sawReading = ReadingInProgress && LoopRunning && w.ActLPTRead->Checked() &&
                         w.ledLPTInputsReadInLoop->Active() &&
                         w.sbPanels[1]->text() == "Lecture en cours" &&
                         w.lblLPTInputsReadInLoop->text() ==
                             "Lecture en boucle des entrées : Activée";
        }
        if (cycle == 2 || cycle == 4)
            w.ActLPTRead->trigger();
    });
    w.ActLptOpen->trigger();
    EXPECT_TRUE(sawReading);
    EXPECT_EQ(LogSince(before),
              (std::vector<LoggedLine>{{"Chargement driver port parallèle...", clBlack},
                                       {"Chargement driver port parallèle : OK.", clGreen},
                                       {"Démarrage Lecture en boucle...", clBlack},
                                       {"Arrêt Lecture en boucle.", clBlack}}));
    w.ActLPTRead->trigger(); // pressed again, it starts a new loop
    EXPECT_EQ(cycles, 4);
    EXPECT_EQ(Log().back().text, "Arrêt Lecture en boucle.");
}

TEST_F(ReadingTest, EachStopRequestEndsTheLoopAfterItsCycle)
{
    struct Row {
        TAction* TfmMain::*action; // clicked between cycles 3 and 4
        std::vector<LoggedLine> lines;
    };
    const LoggedLine stopped{"Arrêt Lecture en boucle.", clBlack};
    const Row rows[] = {
        {&TfmMain::ActLPTRead, {stopped}},
        {&TfmMain::ActLPTReadInLoop, {stopped}},
        // the stop is requested before the port is closed, and nothing is read after
        {&TfmMain::ActLptClose,
         {{"Déchargement driver port parallèle...", clBlack},
          {"Déchargement driver port parallèle : OK.", clGreen},
          stopped}},
    };
    for (const Row& r : rows) {
        TfmMain& w = StartOpen(true);
        SCOPED_TRACE((w.*r.action)->text().toStdString());
        const std::size_t before = Log().size();
        std::uint64_t accesses = 0;
        DuringLoop([&](int cycle) {
            if (cycle == 3) {
                (w.*r.action)->trigger();
                accesses = bench.Port().AccessCount();
            }
        });
        w.ActLPTRead->trigger();
        EXPECT_EQ(cycles, 3);
        std::vector<LoggedLine> lines{{"Démarrage Lecture en boucle...", clBlack}};
        lines.insert(lines.end(), r.lines.begin(), r.lines.end());
        EXPECT_EQ(LogSince(before), lines);
        EXPECT_EQ(bench.Port().AccessCount(), accesses);
        EXPECT_FALSE(ReadingInProgress);
        EXPECT_FALSE(LoopRunning);
        EXPECT_TRUE(StopRequested); // left set; the next start clears it
        EXPECT_FALSE(w.ActLPTRead->Checked());
        EXPECT_FALSE(w.ledLPTInputsReadInLoop->Active());
        EXPECT_EQ(w.lblLPTInputsReadInLoop->text().toStdString(),
                  "Lecture en boucle des entrées : Désactivée");
        EXPECT_EQ(w.sbPanels[1]->text().toStdString(), "Lecture stoppée");
        if (r.action == &TfmMain::ActLPTReadInLoop) {
            // loop mode now unchecked: "Lecture" reads once each time, with no line
            w.ActLPTRead->trigger();
            w.ActLPTRead->trigger();
            EXPECT_EQ(cycles, 5);
            EXPECT_EQ(Log().size(), before + lines.size());
            EXPECT_FALSE(ReadingInProgress);
        }
        Reload();
    }
}

TEST_F(ReadingTest, InversionWhileLoopingFlipsTheLights)
{
    TfmMain& w = StartOpen(true);
    std::string before(5, '?'), after(5, '?');
    DuringLoop([&](int cycle) {
        if (cycle == 2) {
            before = Lights();
            w.ActLPTReadInvStates->trigger();
        }
        if (cycle == 3) {
            after = Lights();
            w.ActLPTRead->trigger();
        }
    });
    w.ActLPTRead->trigger();
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NE(before[i], after[i]) << i;
    EXPECT_EQ(cycles, 3); // the inversion in loop mode starts no read of its own
}

TEST_F(ReadingTest, InversionInSingleReadModeReadsOnceAtOnceAndFeedsTheFlippedStates)
{
    TfmMain& w = StartOpen(true);
    w.ActLPTReadInLoop->trigger(); // unchecked
    const auto lights = Lights();
    const QString sample = w.kvDGraph1->LstValues().back();
    DuringLoop([](int) {});
    w.ActLPTReadInvStates->trigger();
    EXPECT_EQ(cycles, 1);
    const QString flipped = w.kvDGraph1->LstValues().back();
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_NE(Lights()[i], lights[i]) << i;
        EXPECT_NE(flipped[qsizetype(i)], sample[qsizetype(i)]) << i;
    }
    EXPECT_EQ(flipped.mid(5), sample.mid(5));
}

TEST_F(ReadingTest, WithBothReadsUncheckedACycleOnlyPumps)
{
    TfmMain& w = StartOpen(true);
    w.ActLPTReadStatus->trigger();
    EXPECT_FALSE(w.ActLPTReadStatus->Checked());
    std::uint64_t accesses = bench.Port().AccessCount();
    const auto samples = w.kvDGraph1->LstValues();
    DuringLoop([&](int cycle) {
        if (cycle == 10)
            w.ActLPTRead->trigger();
    });
    w.ActLPTRead->trigger();
    EXPECT_EQ(bench.Port().AccessCount(), accesses);
    EXPECT_EQ(w.kvDGraph1->LstValues(), samples);
}

TEST_F(ReadingTest, DataValueUpdatesItsLabelOnlyAndFeedsNothing)
{
    TfmMain& w = StartOpen(true);
    w.ActLPTReadData->trigger();
    EXPECT_TRUE(w.ActLPTReadData->Checked());
    std::vector<std::string> captions;
    QStringList samplesBefore, samplesAfter;
    DuringLoop([&](int cycle) {
        captions.push_back(w.lblDataReadValue->text().toStdString());
        if (cycle == 2) {
            samplesBefore = w.kvDGraph1->LstValues();
            bench.Port().DriveData(0x0A);
        }
        if (cycle == 3) {
            bench.Port().DriveData(0x0B);
        }
        if (cycle == 4) {
            samplesAfter = w.kvDGraph1->LstValues();
            w.ActLPTRead->trigger();
        }
    });
    w.ActLPTRead->trigger();
    // undriven pins read 1 in input mode, then the levels driven from outside
    EXPECT_EQ(captions, (std::vector<std::string>{"$FF", "$FF", "$0A", "$0B"}));
    EXPECT_EQ(samplesAfter, samplesBefore);
    // the data read leaves the control register at 0
    EXPECT_EQ(bench.Port().ControlRegister(), 0);
}

TEST_F(ReadingTest, AModalWindowPausesTheLoopAndTheMainWindowRefusesTheClose)
{
    TfmMain& w = StartOpen(true);
    auto* quit = w.ToolBar2->findChild<QToolButton*>("ToolButton15");
    std::vector<std::string> shown;
    auto whileShown = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        shown.push_back(modal->windowTitle().toStdString());
        const std::uint64_t accesses = bench.Port().AccessCount();
        // "Quitter" clicked where the user would click it, then a few passes of the pump
        const QPoint at = quit->mapTo(&w, quit->rect().center());
        ui::Click(w.windowHandle(), at);
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        EXPECT_EQ(bench.Port().AccessCount(), accesses) << "the loop read meanwhile";
        EXPECT_TRUE(w.isVisible());
        modal->close();
    };
    std::uint64_t afterModals = 0;
    DuringLoop([&](int cycle) {
        if (cycle == 2 || cycle == 4) {
            QTimer::singleShot(0, whileShown);
            (cycle == 2 ? w.ActAppAbout : w.ActOptions)->trigger();
        }
        if (cycle == 5)
            afterModals = bench.Port().AccessCount();
        if (cycle == 8)
            w.ActLPTRead->trigger();
    });
    w.ActLPTRead->trigger();
    EXPECT_EQ(shown, (std::vector<std::string>{"A propos...", "Options"}));
    EXPECT_GT(bench.Port().AccessCount(), afterModals); // the loop went on after them
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(Log().back().text, "Arrêt Lecture en boucle.");
}

TEST_F(ReadingTest, WithNoPortDetectedOuvrirRefusesAndStillReadsUntilAnotherOuvrir)
{
    WriteFile(IniPath(), "[LptPortAddr]\r\nLPT001Addr=632\r\n");
    TfmMain& w = Start();
    for (int n = 1; n <= 8; ++n)
        EXPECT_FALSE(w.ActLPT[std::size_t(n)]->isEnabled()) << n;
    EXPECT_EQ(SelectedAddress, 0); // LPT8's address, which matches the undetected LPT2
    const std::size_t before = Log().size();
    bool closedWhileReading = false;
    DuringLoop([&](int cycle) {
        if (cycle == 2)
            closedWhileReading = ReadingInProgress && !PortOpen &&
                                 w.sbPanels[1]->text() == "Lecture en cours" &&
                                 !w.ActLPTRead->isEnabled() && !w.ActLptClose->isEnabled();
        if (cycle == 3)
            w.ActLptOpen->trigger(); // its read request stops the running loop
    });
    w.ActLptOpen->trigger();
    EXPECT_TRUE(closedWhileReading);
    EXPECT_EQ(cycles, 3);
    const LoggedLine refused{"Impossible de charger le driver du port parallèle (port non détecté)", clRed};
    EXPECT_EQ(LogSince(before), (std::vector<LoggedLine>{refused,
                                                         {"Démarrage Lecture en boucle...", clBlack},
                                                         refused,
                                                         {"Arrêt Lecture en boucle.", clBlack}}));
}

} // namespace
