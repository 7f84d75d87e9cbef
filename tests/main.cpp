#include <QApplication>
#include <gtest/gtest.h>

// Every test runs with a QApplication on the offscreen platform, so widget tests need no display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
