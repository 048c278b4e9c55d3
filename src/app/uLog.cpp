#include "uLog.h"

#include <QTextCursor>
#include <QTextEdit>

#include "frmMain.h"

namespace {

QColor ToQColor(TColor c) { return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)); }

// Set on the log once a line has been added: an empty first line leaves the document empty,
// yet the next line must still start a new one.
constexpr const char* kHasLines = "tamselHasLines";

bool CanFocus(const QWidget* w)
{
    return w->isVisible() && w->isEnabled() && w->window()->isVisible() &&
           w->window()->isEnabled();
}

} // namespace

void LogMessage(const std::string& text, TColor colour)
{
    try {
        TfmMain* window = MainWindow();
        if (window == nullptr || window->reLog == nullptr)
            return;
        QTextEdit* log = window->reLog;
        QTextCursor cursor(log->document());
        cursor.movePosition(QTextCursor::End);
        log->setTextCursor(cursor);
        log->setTextColor(ToQColor(colour));

        QTextCharFormat format = cursor.charFormat();
        format.setForeground(ToQColor(colour));
        if (!log->document()->isEmpty() || log->property(kHasLines).toBool())
            cursor.insertBlock();
        log->setProperty(kHasLines, true);
        cursor.insertText(QString::fromStdString(text), format);
        log->setTextCursor(cursor);

        log->setTextColor(ToQColor(clBlack));
        if (CanFocus(log) && !CreatingMainForm)
            log->setFocus();
    } catch (...) {
        // the line may be missing or uncoloured; the caller goes on
    }
}
