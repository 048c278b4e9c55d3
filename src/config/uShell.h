#pragma once
// Opening a document with the program the desktop associates with its type, and the readme.
#include <QUrl>
#include <functional>
#include <string>

// Show command of a window started for a document (the only one the program uses).
constexpr int kShowNormal = 1;

// Asks the desktop to open FileName with its default program (the shell's ShellExecute on
// Windows, shown with ShowCommand); true when the request was accepted. It neither waits for
// the program nor reports anything.
bool ShellOpenFile(const std::string& FileName, int ShowCommand);
// ShellOpenFile with kShowNormal; the result and any error are ignored.
void OpenDocument(const std::string& FileName);

// The readme beside the executable: AppDir (ending with its separator) and "A_Lire.txt".
std::string ReadmePath(const std::string& appDir);

// Replaces the desktop's opener (tests); an empty function restores it.
using DocumentOpener = std::function<bool(const QUrl&)>;
void SetDocumentOpener(DocumentOpener opener);
