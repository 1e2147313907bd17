// The test main for windows: one application object for all tests, on the platform the
// test binary was built for (offscreen for widget tests, the X server for end-to-end).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "testfolder.h"

namespace {

// A test with no program folder of its own gets a fresh one, never the folder beside this
// binary in the build folder, where an earlier run may have left a list or a setting.
class FreshFolderEachTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override {
        folder_ = std::make_unique<TestFolder>();
        folder_->useAsAppDir();
    }
    void OnTestEnd(const ::testing::TestInfo &) override { folder_.reset(); }
    std::unique_ptr<TestFolder> folder_;
};

}  // namespace

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display and starts nothing.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    // Nothing of the user who runs the tests is read or written from here either (nor by the
    // X servers and window managers started from here): a home of the run's own, no proxy.
    const QString xauthority = QDir::homePath() + "/.Xauthority";
    if (qEnvironmentVariableIsEmpty("XAUTHORITY") && QFile::exists(xauthority))
        qputenv("XAUTHORITY", QFile::encodeName(xauthority));
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const char *v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                          "http_proxy", "https_proxy", "all_proxy", "no_proxy", "HTTP_PROXY",
                          "HTTPS_PROXY", "ALL_PROXY", "NO_PROXY"})
        qunsetenv(v);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshFolderEachTest);
    qputenv("QT_QPA_PLATFORM", TEST_QPA);
    // No GPU under a virtual X server; as root the engine only runs without its sandbox.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
