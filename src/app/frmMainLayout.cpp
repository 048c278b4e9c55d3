// What the main window consists of when it is created: the toolbar, the indicator panel with
// the read and write groups, the graph, the splitter, the log, the status bar and the menu,
// every control at its place with its French caption.
#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStyleOption>
#include <QSplitter>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ImageList.h"
#include "LabelCaption.h"
#include "MainWindowControls.h"
#include "StatusLight.h"
#include "AppPictures.h"
#include "frmMain.h"
#include "kvDGraph.h"
#include "kvSwitch.h"
#include "kvoeLed.h"

namespace {

constexpr int kClientWidth = 720;
constexpr int kClientHeight = 514;
constexpr int kToolBarHeight = 41;
constexpr int kLinesHeight = 153;
constexpr int kGraphHeight = 211;
constexpr int kSplitterWidth = 3;
constexpr int kLogHeight = 87;
constexpr int kStatusBarHeight = 19;
constexpr int kStatusPanelWidth = 100;
constexpr int kToolButtonWidth = 43;
constexpr int kToolButtonHeight = 36;
constexpr int kLightSize = 13;
constexpr int kMinLogHeight = 20;
constexpr int kMinGraphHeight = 40;
constexpr int kToolSeparatorWidth = 8;
constexpr int kCaptionStretch = 94; // per cent of the face's own width

QLabel* AddLabel(QWidget* parent, const char* name, const char* caption, int x, int y)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    SetCaption(label, QString::fromUtf8(caption));
    return label;
}

// The toolkit's toolbar separator, drawn across the whole place it is given.
class ToolBarSeparator final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        option.state |= QStyle::State_Horizontal; // a separator in a horizontal toolbar
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter, this);
    }
};

struct LightSpec {
    TStatusLight* TfmMain::*member; // null for the data-line lights
    const char* name;
    int x, y;
    const char* labelName;
    const char* caption;
};

struct SwitchSpec {
    const char* name;
    int x, y;
    const char* labelName;
    const char* caption;
};

} // namespace

void TfmMain::CreateControls()
{
    const bool demo = edition_ == Edition::Demo;
    setWindowTitle(demo ? QStringLiteral("Tamsel - démo (port simulé)") : QStringLiteral("Tamsel"));
    setWindowIcon(demo ? TamselDemoIcon() : TamselIcon());
    // "MS Sans Serif" and "Tahoma" are narrow faces that this system may lack. Liberation Sans,
    // Arial's metric twin, stands in for them at the same height, drawn slightly narrower so
    // that every caption leaves a gap before the control placed after it.
    // Arial itself, for the graph's labels and the about window, where a system lacks it and
    // maps it to no face of its own (Wine's font list has Liberation Sans but no Arial).
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setStretch(kCaptionStretch);
    setFont(font);

    auto* central = new QWidget(this);
    central->setObjectName("pnlClient");
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    CreateToolBar();
    column->addWidget(ToolBar2);
    CreateLinesPanel();
    column->addWidget(pnlLines);

    splLog = new QSplitter(Qt::Vertical, central);
    splLog->setObjectName("splLog");
    splLog->setHandleWidth(kSplitterWidth);
    splLog->setChildrenCollapsible(false);
    kvDGraph1 = new TkvDGraph(splLog);
    kvDGraph1->setObjectName("kvDGraph1");
    ConfigureMainGraph(*kvDGraph1);
    kvDGraph1->setMinimumHeight(kMinGraphHeight);
    reLog = new QTextEdit(splLog);
    reLog->setObjectName("reLog");
    reLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    reLog->setMinimumHeight(kMinLogHeight);
    splLog->addWidget(kvDGraph1);
    splLog->addWidget(reLog);
    splLog->setStretchFactor(0, 1);
    splLog->setStretchFactor(1, 0);
    splLog->setSizes({kGraphHeight, kLogHeight});
    splLog->handle(1)->setCursor(Qt::SizeVerCursor);
    column->addWidget(splLog, 1);

    CreateStatusBar();
    column->addWidget(sbMain);
    CreateMenu();

    const int menuHeight = menuBar()->sizeHint().height();
    resize(kClientWidth, kClientHeight + menuHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TfmMain::CreateToolBar()
{
    ToolBar2 = new QWidget(centralWidget());
    ToolBar2->setObjectName("ToolBar2");
    ToolBar2->setFixedHeight(kToolBarHeight);
    auto* group = new QButtonGroup(ToolBar2);
    group->setExclusive(true);

    auto place = [this](QToolButton* button, int left) {
        button->setParent(ToolBar2);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(16, 16));
        button->setGeometry(left, 2, kToolButtonWidth, kToolButtonHeight);
    };
    // The port buttons are one group of check buttons: pressing one releases the others. A
    // button follows its action's caption, image, hint and enabled state, and shows pressed
    // while its action is checked.
    for (int n = 1; n <= kLptPortCount; ++n) {
        TAction* action = ActLPT[std::size_t(n)];
        auto* button = new QToolButton(ToolBar2);
        button->setObjectName(QStringLiteral("btnLPT%1").arg(n));
        button->setCheckable(true);
        place(button, (n - 1) * kToolButtonWidth);
        group->addButton(button);
        auto follow = [button, action] {
            button->setText(action->text());
            button->setIcon(action->icon());
            button->setToolTip(action->toolTip());
            button->setEnabled(action->isEnabled());
            if (action->isChecked())
                button->setChecked(true);
        };
        follow();
        connect(action, &QAction::changed, button, follow);
        connect(button, &QToolButton::clicked, action, [action] { action->Execute(); });
        btnLPT[std::size_t(n)] = button;
    }
    struct Push {
        const char* name;
        TAction* action;
        int left;
    };
    const Push pushes[] = {{"ToolButton9", ActLptOpen, 352}, {"ToolButton10", ActLptClose, 395},
                           {"ToolButton12", ActLPTRead, 446}, {"ToolButton13", ActLPTWrite, 489},
                           {"ToolButton15", ActAppClose, 540}};
    for (const Push& p : pushes) {
        auto* button = new QToolButton(ToolBar2);
        button->setObjectName(QString::fromLatin1(p.name));
        button->setDefaultAction(p.action);
        place(button, p.left);
    }
    const std::pair<const char*, int> separators[] = {
        {"ToolButton8", 344}, {"ToolButton11", 438}, {"ToolButton14", 532}};
    for (auto [name, left] : separators) {
        auto* separator = new ToolBarSeparator(ToolBar2);
        separator->setObjectName(QString::fromLatin1(name));
        separator->setGeometry(left, 2, kToolSeparatorWidth, kToolButtonHeight);
    }
}

void TfmMain::CreateLinesPanel()
{
    pnlLines = new QWidget(centralWidget());
    pnlLines->setObjectName("pnlLines");
    pnlLines->setFixedHeight(kLinesHeight);

    ledLptDriverStatus = new TkvoeBasicLed(pnlLines);
    ledLptDriverStatus->setObjectName("ledLptDriverStatus");
    ConfigureDriverStatusLed(*ledLptDriverStatus);
    ledLptDriverStatus->move(8, 8);
    lblLptDriverStatus = AddLabel(pnlLines, "lblLptDriverStatus", "Driver port parallèle non chargé", 24, 8);
    ledLPTInputsReadInLoop = new TkvoeBasicLed(pnlLines);
    ledLPTInputsReadInLoop->setObjectName("ledLPTInputsReadInLoop");
    ConfigureLoopLed(*ledLPTInputsReadInLoop);
    ledLPTInputsReadInLoop->move(248, 8);
    lblLPTInputsReadInLoop = AddLabel(pnlLines, "lblLPTInputsReadInLoop",
                                      "Lecture en boucle des entrées : Désactivée", 264, 8);

    gbLptRead = new QGroupBox(QStringLiteral("Lecture sur lignes Statuts et Données"), pnlLines);
    gbLptRead->setObjectName("gbLptRead");
    gbLptRead->setGeometry(8, 32, 305, 113);
    const LightSpec lights[] = {
        {&TfmMain::LedAck, "LedAck", 8, 24, "Label3", "Ack (pin 10)"},
        {&TfmMain::ledBusy, "ledBusy", 8, 40, "Label2", "Busy (pin 11)"},
        {&TfmMain::ledPaperEnd, "ledPaperEnd", 8, 56, "Label4", "Paper End (pin 12)"},
        {&TfmMain::ledSelect, "ledSelect", 8, 72, "Label5", "Select (pin 13)"},
        {&TfmMain::ledError, "ledError", 8, 88, "lblError", "Error (pin 15)"},
        {nullptr, "LedD0", 144, 24, "Label13", "D0 (pin 2)"},
        {nullptr, "LedD1", 144, 40, "Label14", "D1 (pin 3)"},
        {nullptr, "LedD2", 144, 56, "Label15", "D2 (pin 4)"},
        {nullptr, "LedD3", 144, 72, "Label16", "D3 (pin 5)"},
        {nullptr, "LedD4", 224, 24, "Label20", "D4 (pin 6)"},
        {nullptr, "LedD5", 224, 40, "Label19", "D5 (pin 7)"},
        {nullptr, "LedD6", 224, 56, "Label18", "D6 (pin 8)"},
        {nullptr, "LedD7", 224, 72, "Label17", "D7 (pin 9)"},
    };
    std::size_t dataLight = 0;
    for (const LightSpec& l : lights) {
        auto* light = new TStatusLight(gbLptRead);
        light->setObjectName(QString::fromLatin1(l.name));
        light->SetBounds(l.x, l.y, kLightSize, kLightSize);
        if (l.member != nullptr)
            this->*l.member = light;
        else
            LedD[dataLight++] = light;
        AddLabel(gbLptRead, l.labelName, l.caption, l.x + 16, l.y);
    }
    LedAck->SetLit(true);
    // The line between the status column and the data columns ends where it is designed to
    // (y = 105) and starts at y = 16 or, where the style draws the frame lower (at the top of
    // the group's contents), just below the frame's top line.
    auto* bevel = new QFrame(gbLptRead);
    bevel->setObjectName("Bevel1");
    bevel->setFrameShape(QFrame::VLine);
    bevel->setFrameShadow(QFrame::Sunken);
    const int bevelTop = std::max(16, gbLptRead->contentsRect().top() + 2);
    bevel->setGeometry(128, bevelTop, 2, 16 + 89 - bevelTop);
    AddLabel(gbLptRead, "Label23", "Dernière donnée lue :", 144, 96);
    lblDataReadValue = AddLabel(gbLptRead, "lblDataReadValue", "$00", 256, 96);

    gbLptWriteData = new QGroupBox(QStringLiteral("Ecriture sur lignes Données"), pnlLines);
    gbLptWriteData->setObjectName("gbLptWriteData");
    gbLptWriteData->setGeometry(320, 32, 321, 113);
    const SwitchSpec switches[] = {
        {"btnD0", 8, 22, "Label1", "D0 (pin 2)"},
        {"btnD1", 8, 38, "Label6", "D1 (pin 3)"},
        {"btnD2", 8, 54, "Label7", "D2 (pin 4)"},
        {"btnD3", 8, 70, "Label8", "D3 (pin 5)"},
        {"btnD4", 104, 22, "Label9", "D4 (pin 6)"},
        {"btnD5", 104, 38, "Label10", "D5 (pin 7)"},
        {"btnD6", 104, 54, "Label11", "D6 (pin 8)"},
        {"btnD7", 104, 70, "Label12", "D7 (pin 9)"},
        {"btnStrobe", 200, 22, "Label22", "Strobe (pin 1)"},
        {"btnAutofeed", 200, 38, "Label26", "Autofeed (pin 14)"},
        {"btnInit", 200, 54, "Label25", "Init/Rst (pin 16)"},
        {"btnSelect", 200, 70, "Label24", "Select (pin 17)"},
    };
    std::array<TkvSwitch*, 12> made{};
    for (std::size_t i = 0; i < made.size(); ++i) {
        const SwitchSpec& s = switches[i];
        auto* sw = new TkvSwitch(gbLptWriteData);
        sw->setObjectName(QString::fromLatin1(s.name));
        ConfigureOutputSwitch(*sw);
        sw->move(s.x, s.y);
        AddLabel(gbLptWriteData, s.labelName, s.caption, s.x + 32, s.y + 2);
        made[i] = sw;
    }
    for (std::size_t i = 0; i < btnD.size(); ++i) {
        btnD[i] = made[i];
        connect(btnD[i], &TkvSwitch::OnChange, this, &TfmMain::btnD0Change);
    }
    btnStrobe = made[8];
    btnAutofeed = made[9];
    btnInit = made[10];
    btnSelect = made[11];
    for (TkvSwitch* sw : {btnStrobe, btnAutofeed, btnInit, btnSelect})
        connect(sw, &TkvSwitch::OnChange, this, &TfmMain::btnStrobeChange);
    AddLabel(gbLptWriteData, "Label21", "Dernière donnée écrite :", 8, 96);
    lblDataWriteValue = AddLabel(gbLptWriteData, "lblDataWriteValue", "$00", 128, 96);
    lblControlWriteValue = AddLabel(gbLptWriteData, "lblControlWriteValue", "$00", 224, 96);
}

void TfmMain::CreateStatusBar()
{
    sbMain = new QStatusBar(centralWidget());
    sbMain->setObjectName("sbMain");
    sbMain->setFixedHeight(kStatusBarHeight);
    sbMain->setSizeGripEnabled(true);
    for (std::size_t i = 0; i < sbPanels.size(); ++i) {
        auto* panel = new QLabel(sbMain);
        panel->setObjectName(QStringLiteral("sbMainPanel%1").arg(i + 1));
        panel->setFixedWidth(kStatusPanelWidth);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        sbMain->addWidget(panel);
        sbPanels[i] = panel;
    }
}

void TfmMain::CreateMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName("mnuMain");
    auto menu = [bar](const char* title) { return bar->addMenu(QString::fromUtf8(title)); };
    QMenu* file = menu("Fichier");
    file->addAction(ActOptions);
    file->addSeparator();
    file->addAction(ActAppClose);
    QMenu* ports = menu("Ports");
    ports->addAction(ActLptOpen);
    ports->addAction(ActLptClose);
    ports->addSeparator();
    for (int n = 1; n <= kLptPortCount; ++n)
        ports->addAction(ActLPT[std::size_t(n)]);
    QMenu* actions = menu("Actions");
    for (TAction* a : {ActLPTRead, ActLPTReadInLoop, ActLPTReadStatus, ActLPTReadData,
                       ActLPTReadInvStates})
        actions->addAction(a);
    actions->addSeparator();
    actions->addAction(ActLPTWrite);
    actions->addAction(ActLPTWriteData);
    QMenu* view = menu("Affichage");
    view->addAction(ActGraphShowChanges);
    QMenu* help = menu("Aide");
    help->addAction(ActAppHelp);
    help->addSeparator();
    help->addAction(ActAppReadme);
    help->addSeparator();
    help->addAction(ActAppAbout);
    ApplyMenuStyle(bar);
}
