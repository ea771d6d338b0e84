#include <QApplication>
#include <gtest/gtest.h>

// The toast tests need more than one screen: an off-screen desktop with a 1440 x 875 screen
// and a 1024 x 768 one beside it, whatever platform the environment names.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen:configfile=") +
                                   QByteArrayLiteral(LUMATIDE_TWO_SCREENS_CONFIG));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
