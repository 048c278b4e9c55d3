// Writes the files an installed Tamsel ships that the program itself knows how to make, so that
// the installed copies cannot drift from it: the preferences file a first start creates, and the
// program's icon as PNG pictures.
//   package_files prefs FILE         the default preferences text, byte for byte
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

bool WritePrefs(const char* path)
{
    const std::string text = DefaultUserPrefsText();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    out.close();
    return bool(out);
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
