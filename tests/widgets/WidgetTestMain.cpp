// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <gtest/gtest.h>

// Widget tests draw off screen unless a platform is chosen explicitly. The variable is set here
// because test discovery runs the binary without the test's environment. Tests that need more
// than one screen get an off-screen desktop of two, whatever the environment names.
int main(int argc, char** argv) {
#ifdef LUMATIDE_SCREENS_CONFIG
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" LUMATIDE_SCREENS_CONFIG);
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
