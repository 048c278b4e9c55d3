// The main window's actions: their list, the window state derived from the port state, and
// the handlers that are not reading actions.
#include <QGroupBox>
#include <QLabel>
#include <QStatusBar>

#include "ComponentsOfKind.h"
#include "ImageList.h"
#include "frmAbout.h"
#include "uShell.h"
#include "LabelCaption.h"
#include "frmMain.h"
#include "frmOptions.h"
#include "kvDGraph.h"
#include "kvSwitch.h"
#include "StatusLight.h"
#include "uGraph.h"

namespace {

struct ActionSpec {
    TAction* TfmMain::*member;
    const char* name;
    const char* caption;
    const char* hint;
    int image; // -1: none
    bool checked;
    void (TfmMain::*handler)(TAction*);
};

// Every action of the window as it is created: caption, hint, image, checked state, handler.
// "Index de l'aide" has no handler; the LPTn actions follow the table.
const ActionSpec kActions[] = {
    {&TfmMain::ActAppAbout, "ActAppAbout", "A propos...", "A propos...", -1, false,
     &TfmMain::ActAppAboutExecute},
    {&TfmMain::ActAppClose, "ActAppClose", "Quitter", "Quitter", 5, false,
     &TfmMain::ActAppCloseExecute},
    {&TfmMain::ActAppReadme, "ActAppReadme", "Lisez-moi", "Lisez-moi", -1, false,
     &TfmMain::ActAppReadmeExecute},
    {&TfmMain::ActAppHelp, "ActAppHelp", "Index de l'aide", "Index de l'aide", -1, false, nullptr},
    {&TfmMain::ActLPTRead, "ActLPTRead", "Lecture", "Lecture des entrées du port LPT", 7, false,
     &TfmMain::ActLPTReadExecute},
    {&TfmMain::ActLPTWrite, "ActLPTWrite", "Ecriture", "Ecriture sur sorties du port LPT", 6,
     false, &TfmMain::ActLPTWriteExecute},
    {&TfmMain::ActLptOpen, "ActLptOpen", "Ouvrir", "Ouvrir port (charger driver)", 1, false,
     &TfmMain::ActLptOpenExecute},
    {&TfmMain::ActLptClose, "ActLptClose", "Fermer", "Fermer port (décharger driver)", 2, false,
     &TfmMain::ActLptCloseExecute},
    {&TfmMain::ActLPTReadInLoop, "ActLPTReadInLoop", "Lire en boucle", "Lire en boucle", -1, true,
     &TfmMain::ActLPTReadInLoopExecute},
    {&TfmMain::ActLPTReadInvStates, "ActLPTReadInvStates", "Inverser états logiques lus",
     "Inverser états logiques lus", -1, false, &TfmMain::ActLPTReadInvStatesExecute},
    {&TfmMain::ActLPTReadStatus, "ActLPTReadStatus", "Lire Lignes de Statuts",
     "Lire Lignes de Statuts", -1, true, &TfmMain::ActLPTReadStatusExecute},
    {&TfmMain::ActLPTReadData, "ActLPTReadData", "Lire Lignes de Données",
     "Lire Lignes de Données", -1, false, &TfmMain::ActLPTReadDataExecute},
    {&TfmMain::ActLPTWriteData, "ActLPTWriteData", "Ecrire données sur actions interrupteurs",
     "Ecrire données sur actions interrupteurs", -1, true, &TfmMain::ActLPTWriteDataExecute},
    {&TfmMain::ActGraphShowChanges, "ActGraphShowChanges",
     "Graphe : afficher tous les changements d'état",
     "Graphe : afficher tous les changements d'état", -1, true,
     &TfmMain::ActGraphShowChangesExecute},
    {&TfmMain::ActOptions, "ActOptions", "Options", "", -1, false, &TfmMain::ActOptionsExecute},
};

constexpr int kLptImage = 0;

} // namespace

void TfmMain::CreateActions()
{
    auto make = [this](const char* name, const QString& caption, const QString& hint, int image,
                       bool checked, void (TfmMain::*handler)(TAction*)) {
        auto* action = new TAction(QString::fromLatin1(name), caption, this);
        if (!hint.isEmpty())
            action->setToolTip(hint);
        action->setStatusTip(hint);
        if (image >= 0)
            action->setIcon(ImageList1Icon(image));
        action->SetChecked(checked);
        if (handler != nullptr)
            action->SetOnExecute([this, handler](TAction* sender) { (this->*handler)(sender); });
        return action;
    };
    for (const ActionSpec& a : kActions)
        this->*a.member = make(a.name, QString::fromUtf8(a.caption), QString::fromUtf8(a.hint),
                               a.image, a.checked, a.handler);
    for (int n = 1; n <= kLptPortCount; ++n) {
        TAction* action = make(("ActLPT" + std::to_string(n)).c_str(),
                               QStringLiteral("LPT%1").arg(n), QString(), kLptImage, false,
                               &TfmMain::ActLPT1Execute);
        action->SetTag(n);
        ActLPT[std::size_t(n)] = action;
    }
    // As the action framework does on its first update: an action without an execute handler
    // is shown disabled for the whole run. "Lire en boucle" starts disabled and checked.
    for (TAction* action : findChildren<TAction*>())
        if (!action->HasHandler())
            action->setEnabled(false);
    ActLPTReadInLoop->setEnabled(false);
}

void TfmMain::UpdateMainWindowState()
{
    ActLptOpen->setEnabled(!PortOpen);
    ActLptClose->setEnabled(PortOpen);
    for (int n = 1; n <= kLptPortCount; ++n)
        ActLPT[std::size_t(n)]->setEnabled(LptPorts[n].Detected && !PortOpen);
    ActLPTRead->setEnabled(PortOpen);
    ActLPTReadInLoop->setEnabled(PortOpen);
    ActLPTReadData->setEnabled(PortOpen);
    gbLptRead->setEnabled(PortOpen);
    ActLPTReadStatus->setEnabled(PortOpen);
    ActLPTReadInvStates->setEnabled(PortOpen);
    for (TStatusLight* light : ComponentsOfKind<TStatusLight>(this)) {
        light->SetLitColor(PortOpen ? clRed : clGray);
        light->SetNotLitColor(PortOpen ? clGreen : clGray);
    }
    gbLptWriteData->setEnabled(PortOpen);
    ActLPTWriteData->setEnabled(PortOpen);
    ActLPTWrite->setEnabled(PortOpen);
    for (TkvSwitch* s : ComponentsOfKind<TkvSwitch>(this))
        s->setEnabled(PortOpen);
    sbPanels[0]->setText(PortOpen ? QStringLiteral("Port ouvert") : QStringLiteral("Port fermé"));
    sbPanels[1]->setText(ReadingInProgress ? QStringLiteral("Lecture en cours")
                                           : QStringLiteral("Lecture stoppée"));
}

void TfmMain::ActLPT1Execute(TAction* sender) { LptSelectPort(sender->Tag()); }

void TfmMain::ActLptOpenExecute(TAction*)
{
    LptOpen();
    ActLPTReadExecute(ActLPTRead);
}

void TfmMain::ActLptCloseExecute(TAction*) { LptClose(); }

void TfmMain::ActLPTWriteExecute(TAction*)
{
    std::array<bool, kDataLineCount> data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = btnD[i]->SwitchOn();
    const std::uint32_t dataByte = LptEncodeData(data);
    LptWriteData(dataByte);
    SetCaption(lblDataWriteValue, QStringLiteral("Data : $") + QString::fromStdString(LptHexByte(dataByte)));
    const std::uint32_t controlByte = LptEncodeControl(btnStrobe->SwitchOn(), btnAutofeed->SwitchOn(),
                                                       btnInit->SwitchOn(), btnSelect->SwitchOn());
    LptWriteControl(controlByte);
    SetCaption(lblControlWriteValue, QStringLiteral("Ctrl : $") + QString::fromStdString(LptHexByte(controlByte)));
    GraphAddSample();
}

void TfmMain::btnD0Change(TkvSwitch*)
{
    if (ActLPTWriteData->Checked())
        ActLPTWriteExecute(ActLPTWrite);
}

void TfmMain::btnStrobeChange(TkvSwitch* sender) { btnD0Change(sender); }

void TfmMain::ActLPTWriteDataExecute(TAction*)
{
    ActLPTWriteData->SetChecked(!ActLPTWriteData->Checked());
    btnD0Change(nullptr);
}

void TfmMain::ActAppAboutExecute(TAction*) { ShowAboutDialog(this); }

void TfmMain::ActAppCloseExecute(TAction*) { close(); }

void TfmMain::ActAppReadmeExecute(TAction*) { OpenDocument(AppDir + "A_Lire.txt"); }

void TfmMain::ActOptionsExecute(TAction*) { ShowOptionsDialog(this); }

// Choosing the graph option toggles it, as "Ecrire données sur actions interrupteurs" does, so
// that the samples can be stopped and started again.
void TfmMain::ActGraphShowChangesExecute(TAction*)
{
    ActGraphShowChanges->SetChecked(!ActGraphShowChanges->Checked());
}

std::array<bool, 17> TfmMain::GraphStates() const
{
    std::array<bool, 17> s{StateAck, StateBusy, StatePaperEnd, StateSelect, StateError};
    for (std::size_t i = 0; i < btnD.size(); ++i)
        s[kStatusLineCount + i] = btnD[i]->SwitchOn();
    s[13] = btnStrobe->SwitchOn();
    s[14] = btnAutofeed->SwitchOn();
    s[15] = btnInit->SwitchOn();
    s[16] = btnSelect->SwitchOn();
    return s;
}

void TfmMain::GraphAddSample() { ::GraphAddSample(*kvDGraph1, ActGraphShowChanges->Checked(), GraphStates()); }
