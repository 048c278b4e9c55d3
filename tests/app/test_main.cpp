#include <QApplication>
#include <gtest/gtest.h>

#include "ProgramMain.h"

// Widget and window tests need one application object on the offscreen platform, with the
// program's own message pump.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ChooseMessagePump();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
