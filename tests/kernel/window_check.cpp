// The whole program on the real Linux port access, inside the guest that run-guest.sh boots,
// as a user in group lp without root, on the offscreen platform: start-up with its
// preferences file beside this executable, detection, "Ouvrir" and the read loop, a write
// read back from the hardware, "Fermer", and the close that saves the preferences.
//
// The read-back goes through a reader that guest-checks.sh runs as root: given an I/O address
// on its request pipe, it answers the byte /dev/port reads there, independently of the
// program's own way to the port.
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

#include "../config/TestFiles.h"
#include "DetectLog.h"
#include "GuestPorts.h"
#include "LinuxOs.h"
#include "ProgramMain.h"
#include "StatusLight.h"
#include "WindowLog.h"
#include "frmMain.h"
#include "kvDGraph.h"
#include "kvSwitch.h"
#include "uUserPrefs.h"
#include "zlportio.h"

namespace {

constexpr const char* kPeekRequest = "/tmp/kernel-peek/request";
constexpr const char* kPeekAnswer = "/tmp/kernel-peek/answer";

// The byte at an I/O address as the hardware holds it, read by root through /dev/port.
int Peek(unsigned address)
{
    std::ofstream(kPeekRequest) << address << "\n";
    int value = -1;
    std::ifstream(kPeekAnswer) >> value;
    return value;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

// A preferences file as the first close leaves it: the display flag after the last address,
// the writability test's section at the end.
std::string AfterFirstSave(const std::string& prefs)
{
    return Replaced(prefs, "LPT008Addr=0\r\n", "LPT008Addr=0\r\nLPTPortAddrShowHexa=0\r\n") +
           "[WriteTest]\r\nCanWrite=1\r\n";
}

class GuestWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetProgram();
        port::UseOs(os);
        PortIoStartup();
        TfmMain::ShowError = [this](QWidget*, const QString& text) {
            errors.push_back(text.toStdString());
        };
        std::remove(IniPath().c_str());
    }

    void TearDown() override
    {
        window.reset();
        ResetProgram();
    }

    static void ResetProgram()
    {
        LptResetState();
        PortIoReset();
        LoopRunning = ReadingInProgress = StopRequested = false;
    }

    // The program's main, steps 3 to 5, with the real waits.
    TfmMain& Start()
    {
        CreatingMainForm = true;
        window = std::make_unique<TfmMain>();
        CreatingMainForm = false;
        return *window;
    }

    // The preferences file beside this executable.
    static std::string IniPath()
    {
        return QCoreApplication::applicationDirPath().toStdString() + "/kernel_window_check.ini";
    }

    std::vector<LoggedLine> Log() const { return LogLines(*window); }

    // The five status lights in the order Ack, Busy, PaperEnd, Select, Error.
    std::string Lights() const
    {
        std::string lit;
        for (TStatusLight* light : {window->LedAck, window->ledBusy, window->ledPaperEnd,
                                    window->ledSelect, window->ledError})
            lit += light->Lit() ? '1' : '0';
        return lit;
    }

    Captured diagnostics;
    port::LinuxOs os{diagnostics.File()};
    std::unique_ptr<TfmMain> window;
    std::vector<std::string> errors;
};

// The window's lines for kNoPort, refused to a user without root (see RawRefusalLines).
std::vector<LoggedLine> RawRefusalLog()
{
    return fake::RefusalLines(3, "l'accès direct aux ports demande root ou CAP_SYS_RAWIO (/dev/"
                              "port : permission refusée ; ioperm : opération non permise)",
                              "passez par ppdev pour parport0 en 0x3B8, membre du groupe lp (sudo "
                              "usermod -aG lp $USER, puis fermez la session et rouvrez-la), ou "
                              "lancez tamsel en root");
}

TEST_F(GuestWindow, DefaultPreferencesFindLpt1AndLpt2OpenReadWriteCloseAndSave)
{
    TfmMain& w = Start();
    EXPECT_EQ(ReadFile(IniPath()), DefaultUserPrefsText());
    EXPECT_EQ(Log(), fake::DefaultSearchLog("3BC", {"55", "55", "0"}, "2 ports parallèles trouvés",
                                            {{{}, {}, RawRefusalLog()}}));
    const std::vector<std::string> report =
        Join(Join(KernelPortLines(), {"tamsel: port 0x378: ppdev (/dev/parport2)",
                                      "tamsel: port 0x278: ppdev (/dev/parport1)"}),
             RawRefusalLines());
    EXPECT_EQ(diagnostics.Lines(), report);
    EXPECT_TRUE(w.ActLPT[1]->Checked());
    EXPECT_TRUE(w.ActLPT[2]->isEnabled());
    EXPECT_FALSE(w.ActLPT[3]->isEnabled());

    // "Ouvrir" starts the loop. Each pass of its pump sees the cycle just read.
    const std::size_t before = Log().size();
    int cycle = 0;
    std::vector<std::string> lights;
    std::string dataRead, dataWritten, controlWritten;
    int peekedData = -1, peekedControl = -1;
    QTimer pump;
    QObject::connect(&pump, &QTimer::timeout, [&] {
        lights.push_back(Lights());
        switch (++cycle) {
        case 1: // the data lines too from the next cycle on
            w.ActLPTReadData->trigger();
            break;
        case 2: // data lines in input mode; then status only, and one write
            dataRead = w.lblDataReadValue->text().toStdString();
            w.ActLPTReadData->trigger();
            w.ActLPTWriteData->trigger(); // switch changes alone write nothing
            for (int d : {0, 2, 5, 7})
                w.btnD[std::size_t(d)]->SetSwitchOn(true);
            w.btnAutofeed->SetSwitchOn(true);
            w.btnInit->SetSwitchOn(true);
            w.ActLPTWrite->trigger();
            dataWritten = w.lblDataWriteValue->text().toStdString();
            controlWritten = w.lblControlWriteValue->text().toStdString();
            peekedData = Peek(0x378);
            peekedControl = Peek(0x37A);
            break;
        case 5:
            w.ActLptClose->trigger();
            break;
        }
    });
    pump.start(0);
    w.ActLptOpen->trigger();
    pump.stop();

    EXPECT_EQ(cycle, 5);
    const std::vector<LoggedLine> log = Log();
    EXPECT_EQ(std::vector<LoggedLine>(log.begin() + std::ptrdiff_t(before), log.end()),
              (std::vector<LoggedLine>{{"Chargement driver port parallèle...", clBlack},
                                       {"Chargement driver port parallèle : OK.", clGreen},
                                       {"Démarrage Lecture en boucle...", clBlack},
                                       {"Déchargement driver port parallèle...", clBlack},
                                       {"Déchargement driver port parallèle : OK.", clGreen},
                                       {"Arrêt Lecture en boucle.", clBlack}}));
    // The emulated port's status after detection left control 0: Busy bit, Ack, Select and
    // Error set (0xD8); with the data lines as inputs nothing drives them (0xFF). The write's
    // control 0x0D (AutoFeed and Init on) clears the Busy bit (0x58), which lights Busy.
    EXPECT_EQ(lights, (std::vector<std::string>{"10011", "10011", "11011", "11011", "11011"}));
    EXPECT_EQ(dataRead, "$FF");
    EXPECT_EQ(dataWritten, "Data : $A5");
    EXPECT_EQ(controlWritten, "Ctrl : $0D");
    EXPECT_EQ(peekedData, 0xA5);
    // The emulated control register reads bits 6 and 7 set; the kernel keeps bit 4
    // (interrupt enable) set while ppdev has the port.
    EXPECT_EQ(peekedControl, 0xDD);
    // Ack, Busy, PaperEnd, Select, Error, D0..D7, Strobe, AutoFeed, Init, Select-in
    std::vector<std::string> samples;
    for (const QString& sample : w.kvDGraph1->LstValues())
        samples.push_back(sample.toStdString());
    EXPECT_EQ(std::vector<std::string>(samples.end() - 4, samples.end()),
              (std::vector<std::string>{"00000000000000000", "10011000000000000",
                                        "10011101001010110", "11011101001010110"}));
    EXPECT_EQ(w.sbPanels[0]->text().toStdString(), "Port fermé");
    EXPECT_EQ(w.LedAck->LitColor(), clGray);

    EXPECT_TRUE(w.close());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(ReadFile(IniPath()), AfterFirstSave(DefaultUserPrefsText()));
    // No line about a lost port or a refusal came after the start-up report.
    EXPECT_EQ(diagnostics.Lines(), report);
}

TEST_F(GuestWindow, Lpt3At952IsFoundThroughPpdevToo)
{
    const std::string prefs =
        Replaced(DefaultUserPrefsText(), "LPT003Addr=956", "LPT003Addr=952");
    WriteFile(IniPath(), prefs);
    TfmMain& w = Start();
    EXPECT_EQ(Log(),
              fake::DefaultSearchLog("3B8", {"55", "55", "55"}, "3 ports parallèles trouvés"));
    EXPECT_EQ(diagnostics.Lines(),
              Join(KernelPortLines(), {"tamsel: port 0x378: ppdev (/dev/parport2)",
                                       "tamsel: port 0x278: ppdev (/dev/parport1)",
                                       "tamsel: port 0x3B8: ppdev (/dev/parport0)"}));
    for (int n : {1, 2, 3})
        EXPECT_TRUE(w.ActLPT[std::size_t(n)]->isEnabled()) << n;
    EXPECT_TRUE(w.close());
    EXPECT_EQ(ReadFile(IniPath()), AfterFirstSave(prefs));
}

using GuestWindowOutsider = GuestWindow;

TEST_F(GuestWindowOutsider, RefusedPortsShowTheirReasonAndRemedyInTheLog)
{
    Start();
    EXPECT_EQ(Log(), fake::DefaultSearchLog("3BC", {"0", "0", "0"}, "0 port parallèle trouvé",
                                            {fake::NotInGroupLpLines(1, "/dev/parport2"),
                                             fake::NotInGroupLpLines(2, "/dev/parport1"),
                                             RawRefusalLog()}));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ChooseMessagePump();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
