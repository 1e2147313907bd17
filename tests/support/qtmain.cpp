// The test main for windows: one application object for all tests, on the platform the
// test binary was built for (offscreen for widget tests, the X server for end-to-end).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display and starts nothing.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    qputenv("QT_QPA_PLATFORM", TEST_QPA);
    // No GPU under a virtual X server; as root the engine only runs without its sandbox.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
