// Reading the selected port's input lines: one read cycle, the read loop that repeats it on the
// user-interface thread with one message pump per cycle, and the reading actions.
#include <QCoreApplication>
#include <QLabel>

#include "StatusLight.h"
#include "LabelCaption.h"
#include "frmMain.h"
#include "kvoeLed.h"
#include "uLog.h"

bool LoopRunning = false;
bool ReadingInProgress = false;
bool StopRequested = false;

void TfmMain::ReadCycle()
{
    if (ActLPTReadStatus->Checked()) {
        LptReadStatus();
        ledBusy->SetLit(StateBusy);
        LedAck->SetLit(StateAck);
        ledPaperEnd->SetLit(StatePaperEnd);
        ledSelect->SetLit(StateSelect);
        ledError->SetLit(StateError);
    }
    if (ActLPTReadData->Checked()) {
        LptDataInputMode();
        const std::uint32_t v = LptReadData();
        LptDataOutputMode();
        // The caption is formatted only when the value changes; the label shows the same text.
        if (v != lastDataRead_) {
            lastDataRead_ = v;
            SetCaption(lblDataReadValue, QStringLiteral("$") + QString::fromStdString(LptHexByte(v)));
        }
    }
    if (LptCurrentStates() != LptPreviousStates())
        GraphAddSample();
    LptKeepPreviousStates();
    QCoreApplication::processEvents();
}

void TfmMain::ReadLoop()
{
    ::LogMessage("Démarrage Lecture en boucle...", kLogProgress);
    LoopRunning = true;
    ActLPTRead->SetChecked(true);
    ledLPTInputsReadInLoop->SetActive(true);
    SetCaption(lblLPTInputsReadInLoop, QStringLiteral("Lecture en boucle des entrées : Activée"));
    ReadingInProgress = true;
    UpdateMainWindowState();
    do {
        ReadCycle();
    } while (!StopRequested);
    ReadingInProgress = false;
    ActLPTRead->SetChecked(false);
    ledLPTInputsReadInLoop->SetActive(false);
    SetCaption(lblLPTInputsReadInLoop, QStringLiteral("Lecture en boucle des entrées : Désactivée"));
    LoopRunning = false;
    ::LogMessage("Arrêt Lecture en boucle.", kLogProgress);
    UpdateMainWindowState();
}

void TfmMain::ActLPTReadExecute(TAction*)
{
    if (ReadingInProgress) {
        StopRequested = true;
        return;
    }
    StopRequested = false;
    if (ActLPTReadInLoop->Checked())
        ReadLoop();
    else
        ReadCycle();
}

void TfmMain::ActLPTReadInLoopExecute(TAction*)
{
    ActLPTReadInLoop->SetChecked(!ActLPTReadInLoop->Checked());
    if (LoopRunning && !ActLPTReadInLoop->Checked())
        StopRequested = true;
}

void TfmMain::ActLPTReadInvStatesExecute(TAction*)
{
    ActLPTReadInvStates->SetChecked(!ActLPTReadInvStates->Checked());
    if (!ActLPTReadInLoop->Checked())
        ActLPTReadExecute(ActLPTRead);
}

void TfmMain::ActLPTReadStatusExecute(TAction*)
{
    ActLPTReadStatus->SetChecked(!ActLPTReadStatus->Checked());
}

void TfmMain::ActLPTReadDataExecute(TAction*)
{
    ActLPTReadData->SetChecked(!ActLPTReadData->Checked());
}
