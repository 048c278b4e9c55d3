#include <QLineEdit>

#include "UiInput.h"
#include "WindowFixture.h"
#include "uLog.h"

namespace {

using LogTest = WindowFixture;

TEST_F(LogTest, EachLineKeepsItsColourAndAnEmptyTextAddsAnEmptyLine)
{
    Start();
    const std::size_t before = Log().size();
    LogMessage("rouge", kLogFailure);
    LogMessage("noir", kLogProgress);
    LogMessage("", kLogSuccess);
    LogMessage("vert", kLogSuccess);
    EXPECT_EQ(LogSince(before), (std::vector<LoggedLine>{{"rouge", clRed},
                                                         {"noir", clBlack},
                                                         {"", clBlack},
                                                         {"vert", clGreen}}));
}

TEST_F(LogTest, TextTypedAfterAColouredLineIsBlack)
{
    TfmMain& w = Start();
    LogMessage("Chargement driver port parallèle : Erreur !", kLogFailure);
    w.reLog->setFocus();
    ui::Type(w.reLog, "abc");
    const auto lines = Log();
    const QTextBlock last = w.reLog->document()->lastBlock();
    ASSERT_TRUE(last.text().endsWith("abc"));
    // the typed characters carry black, the line before them keeps red
    QTextCursor c(last);
    c.setPosition(last.position() + last.length() - 1);
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(0, 0, 0));
    c.setPosition(last.position() + 1);
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(255, 0, 0));
}

TEST_F(LogTest, LinesWrittenWhileTheWindowIsCreatedDoNotTakeTheFocus)
{
    TfmMain& w = Start();
    auto* other = new QLineEdit(w.pnlLines);
    other->show();
    other->setFocus();
    ASSERT_EQ(w.focusWidget(), other);
    CreatingMainForm = true;
    LogMessage("pendant la création", kLogProgress);
    EXPECT_EQ(w.focusWidget(), other);
    CreatingMainForm = false;
    LogMessage("après", kLogProgress);
    EXPECT_EQ(w.focusWidget(), w.reLog);
}

TEST_F(LogTest, HarmlessWithoutAWindowOrWithAHiddenOrDisabledLog)
{
    EXPECT_NO_THROW(LogMessage("avant la fenêtre", kLogProgress));
    TfmMain& w = Start();
    auto* other = new QLineEdit(w.pnlLines);
    other->show();
    other->setFocus();
    w.reLog->setEnabled(false);
    LogMessage("désactivé", kLogProgress);
    EXPECT_EQ(w.focusWidget(), other);
    w.reLog->setEnabled(true);
    w.reLog->hide();
    LogMessage("caché", kLogProgress);
    EXPECT_EQ(w.focusWidget(), other);
    w.reLog->show();
    EXPECT_EQ(Log().back().text, "caché");
}

} // namespace
