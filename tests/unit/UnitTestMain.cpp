#include <gtest/gtest.h>

#include <QGuiApplication>

// Model code measures text with Qt's fonts, which need a GUI application; the offscreen
// platform needs no display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
