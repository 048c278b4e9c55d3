#include "ProgramMain.h"

#include <QApplication>
#include <memory>

#include "ToolkitEnvironment.h"
#include "frmMain.h"
#include "zlportio.h"

void ChooseMessagePump()
{
    qputenv("QT_NO_GLIB", "1");
}

int RunTamsel(port::OsApi& os, const std::string& executablePath, Edition edition)
{
    port::UseOs(os);
    PortIoStartup();
    int result = 0;
    {
        // The program reads nothing from its command line: the toolkit gets the name alone.
        static char name[] = "tamsel";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        ChooseMessagePump();
        ConfineToolkitLoading(os.RaisedRun());
        QApplication app(argc, argv);
        CreatingMainForm = true;
        auto window = std::make_unique<TfmMain>(nullptr, executablePath, edition);
        CreatingMainForm = false;
        result = QApplication::exec();
    }
    PortIoShutdown();
    return result;
}
