#include "uShell.h"

#include <QDesktopServices>
#include <QString>

namespace {

DocumentOpener& Opener()
{
    static DocumentOpener opener;
    return opener;
}

} // namespace

bool ShellOpenFile(const std::string& FileName, int /*ShowCommand*/)
{
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(FileName));
    return Opener() ? Opener()(url) : QDesktopServices::openUrl(url);
}

void OpenDocument(const std::string& FileName)
{
    try {
        (void)ShellOpenFile(FileName, kShowNormal);
    } catch (...) {
        // Opening the document is a courtesy; a failure changes nothing for the program.
    }
}

std::string ReadmePath(const std::string& appDir) { return appDir + "A_Lire.txt"; }

void SetDocumentOpener(DocumentOpener opener) { Opener() = std::move(opener); }
