// The window tests run in one QApplication on the offscreen platform; pop-ups close at
// once so that no test waits for a timer or a modal loop.
#include <QApplication>
#include <gtest/gtest.h>

#include "ui/pop_up.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    kovo::ui::frmPopUp::SetNonBlocking(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
