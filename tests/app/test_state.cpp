#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "Canvas.h"
#include "ComponentsOfKind.h"
#include "StatusLight.h"
#include "AddrEdit.h"
#include "WindowFixture.h"
#include "frmOptions.h"
#include "kvDGraph.h"
#include "kvSwitch.h"
#include "uShell.h"

namespace {

class StateTest : public WindowFixture {
protected:
    std::vector<TStatusLight*> AllLights() const { return ComponentsOfKind<TStatusLight>(window.get()); }
};

TEST_F(StateTest, WriteShowsTheDataAndControlBytes)
{
    TfmMain& w = StartOpen(false);
    w.ActLPTWriteData->SetChecked(false); // switch changes write nothing now
    struct Row {
        const char* on; // "1" for each switch on: D0..D7, Strobe, AutoFeed, Init, Select
        const char *data, *control;
    };
    const Row rows[] = {
        {"000000000000", "Data : $00", "Ctrl : $0B"}, {"111111111111", "Data : $FF", "Ctrl : $04"},
        {"000000001000", "Data : $00", "Ctrl : $0A"}, {"101000000000", "Data : $05", "Ctrl : $0B"},
        {"000000000100", "Data : $00", "Ctrl : $09"}, {"000000000010", "Data : $00", "Ctrl : $0F"},
    };
    const std::vector<TkvSwitch*> switches = Outputs();
    for (const Row& r : rows) {
        for (std::size_t i = 0; i < 12; ++i)
            switches[i]->SetSwitchOn(r.on[i] == '1');
        w.ActLPTWrite->trigger();
        EXPECT_EQ(w.lblDataWriteValue->text().toStdString(), r.data);
        EXPECT_EQ(w.lblControlWriteValue->text().toStdString(), r.control);
        // the value labels grow with their caption
        EXPECT_GE(w.lblDataWriteValue->width(), w.lblDataWriteValue->sizeHint().width());
        EXPECT_GE(w.lblControlWriteValue->width(), w.lblControlWriteValue->sizeHint().width());
        EXPECT_EQ(bench.Port().ControlRegister(),
                  std::stoi(std::string(r.control).substr(8), nullptr, 16));
    }
}

TEST_F(StateTest, SwitchChangesWriteOnlyWhileWriteOnSwitchIsChecked)
{
    TfmMain& w = StartOpen(false);
    ASSERT_TRUE(w.ActLPTWriteData->Checked());
    const auto samples = w.kvDGraph1->LstValues().size();
    w.btnD[3]->SetSwitchOn(true);
    EXPECT_EQ(w.lblDataWriteValue->text().toStdString(), "Data : $08");
    EXPECT_EQ(bench.Port().DataLatch(), 0x08);
    w.btnSelect->SetSwitchOn(true);
    EXPECT_EQ(w.lblControlWriteValue->text().toStdString(), "Ctrl : $03");
    EXPECT_EQ(w.kvDGraph1->LstValues().size(), samples); // a sliding window

    w.ActLPTWriteData->trigger(); // unchecked: nothing written
    EXPECT_FALSE(w.ActLPTWriteData->Checked());
    w.btnD[0]->SetSwitchOn(true);
    EXPECT_EQ(bench.Port().DataLatch(), 0x08);
    EXPECT_EQ(w.lblDataWriteValue->text().toStdString(), "Data : $08");

    w.ActLPTWriteData->trigger(); // checked again: the positions are written at once
    EXPECT_TRUE(w.ActLPTWriteData->Checked());
    EXPECT_EQ(bench.Port().DataLatch(), 0x09);
    EXPECT_EQ(w.lblDataWriteValue->text().toStdString(), "Data : $09");
}

TEST_F(StateTest, OptionsOkChangesTheAddressesAndNothingDetectionMade)
{
    TfmMain& w = Start();
    // what detection made: hints, enabled and checked LPTn actions, the selection, the flags
    auto made = [&] {
        std::vector<std::string> v{std::to_string(SelectedAddress)};
        for (int n = 1; n <= 8; ++n) {
            TAction* a = w.ActLPT[std::size_t(n)];
            v.push_back(a->toolTip().toStdString() + (a->isEnabled() ? " enabled" : "") +
                        (a->Checked() ? " checked" : "") + (LptPorts[n].Detected ? " detected" : ""));
        }
        return v;
    };
    const auto before = made();
    const std::size_t lines = Log().size();
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TfmOptions*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->edLPTAddr(1)->Edit()->setText("632");
        dlg->edLPTAddr(2)->Edit()->setText("888");
        dlg->btnOK->click();
    });
    w.ActOptions->trigger();
    EXPECT_EQ(LptPorts[1].Address, 632);
    EXPECT_EQ(LptPorts[2].Address, 888);
    EXPECT_EQ(made(), before);
    EXPECT_EQ(Log().size(), lines);
}

TEST_F(StateTest, LisezMoiOpensTheReadmeBesideTheExecutableWhateverTheCurrentDirectory)
{
    TfmMain& w = Start();
    std::vector<QUrl> opened;
    SetDocumentOpener([&](const QUrl& url) -> bool {
        opened.push_back(url);
        throw std::runtime_error("no desktop"); // absorbed, reported nowhere
    });
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    const std::size_t lines = Log().size();
    w.ActAppReadme->trigger();
    std::filesystem::current_path(cwd);
    SetDocumentOpener({});
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl::fromLocalFile(QDir(dir.path()).filePath("A_Lire.txt"))});
    EXPECT_EQ(Log().size(), lines);
}

TEST_F(StateTest, TheThreeWindowStates)
{
    TfmMain& w = Start();
    struct Expect {
        bool open, close, read, groups, lpt1;
        TColor lit, notLit;
        const char *panel1, *panel2;
    };
    auto check = [&](const Expect& e) {
        EXPECT_EQ(w.ActLptOpen->isEnabled(), e.open);
        EXPECT_EQ(w.ActLptClose->isEnabled(), e.close);
        for (TAction* a : {w.ActLPTRead, w.ActLPTReadInLoop, w.ActLPTReadData, w.ActLPTReadStatus,
                           w.ActLPTReadInvStates, w.ActLPTWrite, w.ActLPTWriteData})
            EXPECT_EQ(a->isEnabled(), e.read) << a->objectName().toStdString();
        EXPECT_EQ(w.gbLptRead->isEnabled(), e.groups);
        EXPECT_EQ(w.gbLptWriteData->isEnabled(), e.groups);
        for (TkvSwitch* s : ComponentsOfKind<TkvSwitch>(&w))
            EXPECT_EQ(s->isEnabled(), e.read);
        EXPECT_EQ(w.ActLPT[1]->isEnabled(), e.lpt1);
        for (TStatusLight* l : AllLights()) {
            EXPECT_EQ(l->LitColor(), e.lit);
            EXPECT_EQ(l->NotLitColor(), e.notLit);
        }
        EXPECT_EQ(w.sbPanels[0]->text().toStdString(), e.panel1);
        EXPECT_EQ(w.sbPanels[1]->text().toStdString(), e.panel2);
        EXPECT_TRUE(w.sbPanels[2]->text().isEmpty());
        for (TAction* a : {w.ActAppAbout, w.ActAppClose, w.ActAppReadme, w.ActGraphShowChanges,
                           w.ActOptions})
            EXPECT_TRUE(a->isEnabled());
        EXPECT_FALSE(w.ActAppHelp->isEnabled());
    };
    EXPECT_EQ(AllLights().size(), 13u);
    check({true, false, false, false, true, clGray, clGray, "Port fermé", "Lecture stoppée"});
    Expect reading{false, true, true, true, false, clRed, clGreen, "Port ouvert",
                   "Lecture en cours"};
    DuringLoop([&](int cycle) {
        if (cycle == 1)
            check(reading);
        if (cycle == 2)
            w.ActLPTRead->trigger();
    });
    w.ActLptOpen->trigger();
    check({false, true, true, true, false, clRed, clGreen, "Port ouvert", "Lecture stoppée"});
    w.ActLptClose->trigger();
    check({true, false, false, false, true, clGray, clGray, "Port fermé", "Lecture stoppée"});
}

TEST_F(StateTest, LightsKeepTheirLitStateThroughCloseAndReopen)
{
    TfmMain& w = StartOpen(false);
    std::vector<bool> lit;
    for (TStatusLight* l : AllLights())
        lit.push_back(l->Lit());
    w.ActLptClose->trigger();
    std::vector<bool> litClosed;
    for (TStatusLight* l : AllLights()) {
        litClosed.push_back(l->Lit());
        // grey on grey: a lit and an unlit light look the same
        EXPECT_EQ(PixelAt(l->Image(), 6, 6), std::optional<TColor>(clGray));
    }
    EXPECT_EQ(litClosed, lit);
    // reopened, red or green before the first read
    LptOpen();
    for (TStatusLight* l : AllLights())
        EXPECT_EQ(PixelAt(l->Image(), 6, 6), std::optional<TColor>(l->Lit() ? clRed : clGreen));
}

} // namespace
