// Entry for test programs that open windows and browser pages on a real display (Xvfb).

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // Test processes run as root in containers, where the browser's sandbox cannot start.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking --disable-component-update");
    qputenv("QT_QUICK_BACKEND", "software");  // as the tool itself runs (app/main.cpp)
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
