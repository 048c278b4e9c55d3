// Writes the files an installed Tamsel ships that the program itself knows how to make, so that
// the installed copies cannot drift from it: the preferences file as the program saves it, and
// the program's icon as PNG pictures.
//   package_files prefs FILE         the default preferences as saved, byte for byte
//   package_files icon SIZE FILE     the icon at SIZE x SIZE pixels
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "AppPictures.h"
#include "uUserPrefs.h"

namespace {

int Usage()
{
    std::fputs("usage: package_files prefs FILE | icon SIZE FILE\n", stderr);
    return 2;
}

// The preferences as the program leaves them when it closes with nothing changed: its first
// start's text with the entries its save adds. Shipped so, a save that changed nothing leaves
// the installed file byte for byte, and the package manager never takes it for an edited one.
bool WritePrefs(const char* path)
{
    std::remove(path);
    try {
        LoadUserPrefs(path);
        SaveUserPrefs(path);
    } catch (const PrefsWriteError&) {
        return false;
    }
    return std::ifstream(path).good();
}

bool WriteIcon(const char* sizeText, const char* path)
{
    char* end = nullptr;
    const long size = std::strtol(sizeText, &end, 10);
    if (*sizeText == '\0' || *end != '\0' || size < 1 || size > 1024)
        return false;
    return TamselIconImage(int(size)).save(QString::fromLocal8Bit(path), "PNG");
}

} // namespace

int main(int argc, char** argv)
{
    bool ok = false;
    if (argc == 3 && std::strcmp(argv[1], "prefs") == 0)
        ok = WritePrefs(argv[2]);
    else if (argc == 4 && std::strcmp(argv[1], "icon") == 0)
        ok = WriteIcon(argv[2], argv[3]);
    else
        return Usage();
    if (!ok) {
        std::fprintf(stderr, "package_files: cannot write %s\n", argv[argc - 1]);
        return 1;
    }
    return 0;
}
