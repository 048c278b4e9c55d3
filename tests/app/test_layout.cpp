#include <QFrame>
#include <QGroupBox>
#include <map>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolButton>

#include "ImageList.h"
#include "UiInput.h"
#include "WindowFixture.h"
#include "StatusLight.h"
#include "kvDGraph.h"
#include "kvSwitch.h"
#include "kvoeLed.h"

namespace {

using LayoutTest = WindowFixture;

TEST_F(LayoutTest, AreasTopToBottomAtTheDesignedSizeAndOnlyTheGraphGrows)
{
    TfmMain& w = Start();
    EXPECT_EQ(w.windowTitle().toStdString(), "Tamsel");
    EXPECT_EQ(w.centralWidget()->size(), QSize(720, 514));
    struct Area {
        QWidget* widget;
        int top, height;
    };
    auto areas = [&w] {
        return std::vector<Area>{{w.ToolBar2, 0, 41},   {w.pnlLines, 41, 153},
                                 {w.kvDGraph1, 194, 211}, {w.reLog, 408, 87},
                                 {w.sbMain, 495, 19}};
    };
    for (const Area& a : areas()) {
        const QRect g(a.widget->mapTo(w.centralWidget(), QPoint(0, 0)), a.widget->size());
        EXPECT_EQ(g.top(), a.top) << a.widget->objectName().toStdString();
        EXPECT_EQ(g.height(), a.height) << a.widget->objectName().toStdString();
        EXPECT_EQ(g.width(), 720) << a.widget->objectName().toStdString();
    }
    EXPECT_EQ(w.splLog->handleWidth(), 3);
    EXPECT_EQ(w.kvDGraph1->Image().size(), QSize(720, 211));

    w.resize(900, w.height() + 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.kvDGraph1->height(), 311);
    EXPECT_EQ(w.reLog->height(), 87);
    EXPECT_EQ(w.pnlLines->height(), 153);
    EXPECT_EQ(w.kvDGraph1->width(), 900);
    EXPECT_EQ(w.kvDGraph1->Image().size(), QSize(900, 311));
}

TEST_F(LayoutTest, DraggingTheSplitterUpMakesTheLogTallerAndTheGraphShorter)
{
    TfmMain& w = Start();
    QSplitterHandle* handle = w.splLog->handle(1);
    EXPECT_EQ(handle->cursor().shape(), Qt::SizeVerCursor);
    w.splLog->setSizes({151, 147}); // what a drag of 60 pixels up gives
    QCoreApplication::processEvents();
    EXPECT_EQ(w.kvDGraph1->height(), 151);
    EXPECT_EQ(w.reLog->height(), 147);
    ui::Press(handle, QPoint(1, 1));
    ui::Drag(handle, QPoint(1, -39));
    ui::Release(handle, QPoint(1, -39));
    EXPECT_LT(w.kvDGraph1->height(), 151);
    EXPECT_GT(w.reLog->height(), 147);
    EXPECT_EQ(w.kvDGraph1->height() + w.reLog->height(), 298);
}

// The items checked at start are marked "[x]": four options, and LPT1 by detection.
TEST_F(LayoutTest, MenuTreeWithItsSeparatorsAndCheckedItems)
{
    TfmMain& w = Start();
    std::vector<std::string> tree;
    for (QAction* menu : w.menuBar()->actions()) {
        tree.push_back(menu->text().toStdString());
        for (QAction* item : menu->menu()->actions())
            tree.push_back("  " + (item->isSeparator() ? std::string("-") : item->text().toStdString()) +
                           (item->isChecked() ? " [x]" : ""));
    }
    const std::vector<std::string> expected = {
        "Fichier", "  Options", "  -", "  Quitter",
        "Ports", "  Ouvrir", "  Fermer", "  -", "  LPT1 [x]", "  LPT2", "  LPT3", "  LPT4", "  LPT5",
        "  LPT6", "  LPT7", "  LPT8",
        "Actions", "  Lecture", "  Lire en boucle [x]", "  Lire Lignes de Statuts [x]",
        "  Lire Lignes de Données", "  Inverser états logiques lus", "  -", "  Ecriture",
        "  Ecrire données sur actions interrupteurs [x]",
        "Affichage", "  Graphe : afficher tous les changements d'état [x]",
        "Aide", "  Index de l'aide", "  -", "  Lisez-moi", "  -", "  A propos..."};
    EXPECT_EQ(tree, expected);
}

TEST_F(LayoutTest, PortButtonsAreOneExclusiveGroup)
{
    WriteFile(IniPath(), "[LptPortAddr]\r\nLPT001Addr=888\r\nLPT002Addr=888\r\n");
    TfmMain& w = Start();
    EXPECT_TRUE(w.btnLPT[1]->isChecked()); // detection checked LPT1
    ui::Click(w.btnLPT[2]);
    EXPECT_TRUE(w.btnLPT[2]->isChecked());
    EXPECT_FALSE(w.btnLPT[1]->isChecked());
    EXPECT_EQ(Log().back().text, "Sélection port parallèle LPT2 (port detecté)");
    ui::Click(w.btnLPT[2]); // stays pressed
    EXPECT_TRUE(w.btnLPT[2]->isChecked());
}

TEST_F(LayoutTest, ToolbarButtonsAtTheirPlacesWithTheirPictures)
{
    TfmMain& w = Start();
    const struct {
        const char* name;
        int left, image;
    } buttons[] = {
        {"btnLPT1", 0, kImgPrinter},     {"btnLPT2", 43, kImgPrinter},
        {"btnLPT8", 301, kImgPrinter},   {"ToolButton9", 352, kImgStart},
        {"ToolButton10", 395, kImgStop}, {"ToolButton12", 446, kImgRead},
        {"ToolButton13", 489, kImgWrite}, {"ToolButton15", 540, kImgExit}};
    auto argb = [](const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); };
    for (auto [name, left, image] : buttons) {
        auto* b = w.ToolBar2->findChild<QToolButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->x(), left) << name;
        EXPECT_EQ(b->size(), QSize(43, 36)) << name;
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_EQ(argb(b->icon().pixmap(16, 16).toImage()), argb(ImageList1Image(image))) << name;
    }
    auto* open = w.ToolBar2->findChild<QToolButton*>("ToolButton9");
    EXPECT_EQ(open->text().toStdString(), "Ouvrir");
    EXPECT_EQ(open->toolTip().toStdString(), "Ouvrir port (charger driver)");

    // The separators: the toolkit's own drawing, in the 8 pixels between the buttons.
    const QRgb background = w.ToolBar2->grab().toImage().pixel(5, 40);
    for (auto [name, left] : {std::pair{"ToolButton8", 344}, {"ToolButton11", 438},
                              {"ToolButton14", 532}}) {
        auto* separator = w.ToolBar2->findChild<QWidget*>(name);
        ASSERT_NE(separator, nullptr) << name;
        EXPECT_EQ(separator->geometry(), QRect(left, 2, 8, 36)) << name;
        const QImage image = separator->grab().toImage();
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                drawn += image.pixel(x, y) != background;
        EXPECT_GE(drawn, 20) << name;
    }
}

// Every label ends, in the font it is drawn with and with any text it can hold, a visible gap
// before the nearest control on its line to its right, or before the frame around it.
TEST_F(LayoutTest, EveryCaptionLeavesAGapBeforeItsNeighbour)
{
    TfmMain& w = Start();
    constexpr int kMinGap = 4;
    const auto bytes = [](const QString& prefix) {
        QStringList texts;
        for (unsigned v = 0; v < 256; ++v)
            texts << prefix + QString::fromStdString(LptHexByte(v));
        return texts;
    };
    const std::map<QString, QStringList> changing = {
        {"lblLptDriverStatus",
         {"Driver port parallèle non chargé", "Driver port parallèle chargé avec succès.",
          "Driver port parallèle non chargé - Erreur !",
          "Driver port parallèle déchargé avec succès."}},
        {"lblLPTInputsReadInLoop",
         {"Lecture en boucle des entrées : Activée", "Lecture en boucle des entrées : Désactivée"}},
        {"lblDataReadValue", bytes("$")},
        {"lblDataWriteValue", bytes("Data : $")},
        {"lblControlWriteValue", bytes("Ctrl : $")},
    };
    int checked = 0;
    for (QWidget* area : {static_cast<QWidget*>(w.pnlLines), static_cast<QWidget*>(w.gbLptRead),
                          static_cast<QWidget*>(w.gbLptWriteData)}) {
        const bool framed = qobject_cast<QGroupBox*>(area) != nullptr;
        for (QLabel* label : area->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
            int limit = area->width() - (framed ? 2 : 0);
            for (QWidget* other : area->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                if (other->x() > label->x() && other->y() < label->geometry().bottom() &&
                    other->geometry().bottom() > label->y())
                    limit = std::min(limit, other->x());
            const auto found = changing.find(label->objectName());
            const QStringList texts = found == changing.end() ? QStringList{label->text()}
                                                              : found->second;
            const QFontMetrics metrics(label->font());
            for (const QString& text : texts) {
                const int end = label->x() + metrics.horizontalAdvance(text);
                EXPECT_GE(limit - end, kMinGap)
                    << label->objectName().toStdString() << ": \"" << text.toStdString() << '"';
            }
            ++checked;
        }
    }
    EXPECT_EQ(checked, 32);
}

TEST_F(LayoutTest, EveryCaptionAndHint)
{
    TfmMain& w = Start();
    struct Text {
        const char* control;
        const char* text;
    };
    const Text labels[] = {
        {"lblLptDriverStatus", "Driver port parallèle non chargé"},
        {"lblLPTInputsReadInLoop", "Lecture en boucle des entrées : Désactivée"},
        {"Label3", "Ack (pin 10)"},      {"Label2", "Busy (pin 11)"},
        {"Label4", "Paper End (pin 12)"}, {"Label5", "Select (pin 13)"},
        {"lblError", "Error (pin 15)"},  {"Label13", "D0 (pin 2)"},
        {"Label14", "D1 (pin 3)"},       {"Label15", "D2 (pin 4)"},
        {"Label16", "D3 (pin 5)"},       {"Label20", "D4 (pin 6)"},
        {"Label19", "D5 (pin 7)"},       {"Label18", "D6 (pin 8)"},
        {"Label17", "D7 (pin 9)"},       {"Label23", "Dernière donnée lue :"},
        {"lblDataReadValue", "$00"},     {"Label1", "D0 (pin 2)"},
        {"Label6", "D1 (pin 3)"},        {"Label7", "D2 (pin 4)"},
        {"Label8", "D3 (pin 5)"},        {"Label9", "D4 (pin 6)"},
        {"Label10", "D5 (pin 7)"},       {"Label11", "D6 (pin 8)"},
        {"Label12", "D7 (pin 9)"},       {"Label22", "Strobe (pin 1)"},
        {"Label26", "Autofeed (pin 14)"}, {"Label25", "Init/Rst (pin 16)"},
        {"Label24", "Select (pin 17)"},  {"Label21", "Dernière donnée écrite :"},
        {"lblDataWriteValue", "$00"},    {"lblControlWriteValue", "$00"},
    };
    for (const Text& t : labels) {
        auto* label = w.findChild<QLabel*>(t.control);
        ASSERT_NE(label, nullptr) << t.control;
        EXPECT_EQ(label->text().toStdString(), t.text) << t.control;
    }
    EXPECT_EQ(w.gbLptRead->title().toStdString(), "Lecture sur lignes Statuts et Données");
    EXPECT_EQ(w.gbLptWriteData->title().toStdString(), "Ecriture sur lignes Données");

    struct ActionText {
        TAction* action;
        const char *caption, *hint;
    };
    const ActionText actions[] = {
        {w.ActAppAbout, "A propos...", "A propos..."},
        {w.ActAppClose, "Quitter", "Quitter"},
        {w.ActAppReadme, "Lisez-moi", "Lisez-moi"},
        {w.ActAppHelp, "Index de l'aide", "Index de l'aide"},
        {w.ActLPTRead, "Lecture", "Lecture des entrées du port LPT"},
        {w.ActLPTWrite, "Ecriture", "Ecriture sur sorties du port LPT"},
        {w.ActLptOpen, "Ouvrir", "Ouvrir port (charger driver)"},
        {w.ActLptClose, "Fermer", "Fermer port (décharger driver)"},
        {w.ActLPTReadInLoop, "Lire en boucle", "Lire en boucle"},
        {w.ActLPTReadInvStates, "Inverser états logiques lus", "Inverser états logiques lus"},
        {w.ActLPTReadStatus, "Lire Lignes de Statuts", "Lire Lignes de Statuts"},
        {w.ActLPTReadData, "Lire Lignes de Données", "Lire Lignes de Données"},
        {w.ActLPTWriteData, "Ecrire données sur actions interrupteurs",
         "Ecrire données sur actions interrupteurs"},
        {w.ActGraphShowChanges, "Graphe : afficher tous les changements d'état",
         "Graphe : afficher tous les changements d'état"},
        {w.ActOptions, "Options", ""},
    };
    for (const ActionText& a : actions) {
        EXPECT_EQ(a.action->text().toStdString(), a.caption);
        EXPECT_EQ(a.action->statusTip().toStdString(), a.hint) << a.caption;
    }
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(w.ActLPT[std::size_t(n)]->text(), QStringLiteral("LPT%1").arg(n));
        EXPECT_EQ(w.ActLPT[std::size_t(n)]->Tag(), n);
    }
}

TEST_F(LayoutTest, ControlsAtTheirPixelPositions)
{
    TfmMain& w = Start();
    struct Place {
        QWidget* widget;
        int x, y, width, height;
    };
    const Place places[] = {
        {w.ledLptDriverStatus, 8, 8, 13, 13},  {w.ledLPTInputsReadInLoop, 248, 8, 13, 13},
        {w.gbLptRead, 8, 32, 305, 113},        {w.gbLptWriteData, 320, 32, 321, 113},
        {w.LedAck, 8, 24, 13, 13},             {w.ledError, 8, 88, 13, 13},
        {w.LedD[7], 224, 72, 13, 13},          {w.btnD[0], 8, 22, 29, 16},
        {w.btnD[7], 104, 70, 29, 16},          {w.btnSelect, 200, 70, 29, 16},
        {w.lblDataReadValue, 256, 96, -1, -1}, {w.lblControlWriteValue, 224, 96, -1, -1},
        {w.findChild<QLabel*>("Label1"), 40, 24, -1, -1}, {w.findChild<QLabel*>("Label3"), 24, 24, -1, -1},
    };
    for (const Place& p : places) {
        EXPECT_EQ(p.widget->pos(), QPoint(p.x, p.y)) << p.widget->objectName().toStdString();
        if (p.width > 0) {
            EXPECT_EQ(p.widget->size(), QSize(p.width, p.height))
                << p.widget->objectName().toStdString();
        }
    }

    // Bevel1 ends where designed and starts inside the read group's frame, below its top line
    // (found where the group's title leaves the top rows clear).
    auto* bevel = w.gbLptRead->findChild<QFrame*>("Bevel1");
    ASSERT_NE(bevel, nullptr);
    EXPECT_EQ(bevel->x(), 128);
    EXPECT_EQ(bevel->geometry().bottom(), 104);
    const QImage group = w.gbLptRead->grab().toImage();
    const QRgb clear = group.pixel(280, 0);
    int frameTop = 0;
    while (frameTop < 40 && group.pixel(280, frameTop) == clear)
        ++frameTop;
    EXPECT_GT(bevel->y(), frameTop + 1);
    EXPECT_GE(bevel->y(), 16);
    for (QLabel* panel : w.sbPanels)
        EXPECT_EQ(panel->width(), 100);
}

} // namespace
