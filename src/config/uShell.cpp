#include "uShell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QString>
#include <QWidget>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

DocumentOpener& Opener()
{
    static DocumentOpener opener;
    return opener;
}

// The system's own way to open a document with its default program.
bool SystemOpen(const std::string& FileName, int ShowCommand)
{
#ifdef _WIN32
    // ShellExecute with the application's window as owner, the default verb of the file's
    // type, no parameters and no working directory; more than 32 means the request was taken.
    const std::wstring file = QString::fromStdString(FileName).toStdWString();
    QWidget* owner = QApplication::activeWindow();
    HWND window = owner != nullptr ? reinterpret_cast<HWND>(owner->winId()) : nullptr;
    HINSTANCE result = ShellExecuteW(window, nullptr, file.c_str(), L"", L"", ShowCommand);
    return reinterpret_cast<INT_PTR>(result) > 32;
#else
    (void)ShowCommand;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(FileName)));
#endif
}

} // namespace

bool ShellOpenFile(const std::string& FileName, int ShowCommand)
{
    if (Opener())
        return Opener()(QUrl::fromLocalFile(QString::fromStdString(FileName)));
    return SystemOpen(FileName, ShowCommand);
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
