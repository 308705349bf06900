#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // ctest sets the platform; listing the tests at discovery runs without it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
