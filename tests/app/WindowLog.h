#pragma once
// The main window's event log as its lines and their colours.
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <ostream>
#include <string>
#include <vector>

#include "RecordingHost.h"
#include "frmMain.h"

// A line and its colour, as the port model's tests record them.
using LoggedLine = fake::LogLine;

namespace fake {
inline std::ostream& operator<<(std::ostream& os, const LogLine& l)
{
    return os << '"' << l.text << "\" #" << std::hex << l.colour << std::dec;
}
} // namespace fake

// Each line with the colour of its first character (black for an empty line).
inline std::vector<LoggedLine> LogLines(const TfmMain& window)
{
    std::vector<LoggedLine> lines;
    QTextDocument* doc = window.reLog->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        QColor c = b.begin() != b.end() ? b.begin().fragment().charFormat().foreground().color()
                                        : QColor(0, 0, 0);
        lines.push_back({b.text().toStdString(),
                         MakeColor(std::uint8_t(c.red()), std::uint8_t(c.green()),
                                   std::uint8_t(c.blue()))});
    }
    return lines;
}
