// The tests need a QApplication, and no display: Qt draws off screen unless told
// otherwise, and the settings go to a scratch folder of the build tree.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", PONDERIX_QT_TEST_CONFIG_HOME);
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
