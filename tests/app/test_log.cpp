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

// Each line is written, and takes the focus to the log unless the window is being created or the
// log is disabled or hidden; before the window exists a line is harmless.
TEST_F(LogTest, ALineTakesTheFocusOnlyToAnEnabledShownLogOfACreatedWindow)
{
    EXPECT_NO_THROW(LogMessage("avant la fenêtre", kLogProgress));
    TfmMain& w = Start();
    auto* other = new QLineEdit(w.pnlLines);
    other->show();
    const struct {
        const char* line;
        bool creating, enabled, shown, focused;
    } rows[] = {{"pendant la création", true, true, true, false},
                {"désactivé", false, false, true, false},
                {"caché", false, true, false, false},
                {"après", false, true, true, true}};
    for (const auto& r : rows) {
        other->setFocus();
        ASSERT_EQ(w.focusWidget(), other) << r.line;
        CreatingMainForm = r.creating;
        w.reLog->setEnabled(r.enabled);
        w.reLog->setVisible(r.shown);
        LogMessage(r.line, kLogProgress);
        CreatingMainForm = false;
        EXPECT_EQ(w.focusWidget(), r.focused ? static_cast<QWidget*>(w.reLog) : other) << r.line;
        w.reLog->setEnabled(true);
        w.reLog->show();
        EXPECT_EQ(Log().back().text, r.line);
    }
}

} // namespace
