// The first minute of use, as a user's hands do it: keys and clicks through the X server
// into the real program, on an X server of the test's own, once bare and once with a
// window manager; what the user sees is read back from the engine, the X server, the
// screen and the files.
#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include "shell/config.h"
#include "support/browsersession.h"
#include "support/httpserver.h"
#include "support/wait.h"
#include "support/xsession.h"

namespace {

const QColor kMagenta(255, 0, 255);

class InputE2E : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x.ready()) << x.error().toStdString();
        server.page("/typed", "Typed page");
        server.page("/handed", "Handed page");
        server.page("/magenta", "Magenta", "<style>html,body{background:#ff00ff}</style>");
        setting("Unload", "0");
    }
    void TearDown() override {
        if (browser && browser->state() != QProcess::NotRunning) {
            browser->kill();
            browser->waitForFinished(5000);
        }
    }
    void setting(const char *key, const QString &value) {
        WriteIni("Setting", key, value, session.folder.file("config.ini"));
    }
    // Starts the browser and waits until its first page is there and the frame shows.
    void launch(const QStringList &args, const QString &firstUrl) {
        browser = session.start(args);
        frame = session.waitForFrame();
        ASSERT_FALSE(frame.isEmpty());
        ASSERT_TRUE(waitFor([&] { return pageOpen(firstUrl); }, 40000)) << firstUrl.toStdString();
        QTest::qWait(300);
    }
    bool pageOpen(const QString &urlStart) const {
        for (const auto &p : session.pages())
            if (p.first.startsWith(urlStart)) return true;
        return false;
    }
    QRect frameRect() const { return x.geometry(frame); }
    ChromePoints points() const { return ChromePoints(frameRect()); }
    double magentaShare() const {
        return ShareOfColour(x.screenshot(), points().pageArea(), kMagenta);
    }

    XSession x{GetParam()};
    BrowserSession session{&x};
    TestHttpServer server;
    std::unique_ptr<QProcess> browser;
    QString frame;
};

}  // namespace

// Enter from a real keyboard; addresses without a scheme; a search with the query's own
// delimiters; an address handed over by a later start; the engine asks for Chinese.
TEST_P(InputE2E, TypedAddressesSearchesAndHandOffsReachTheEngine) {
    // The search engines are far away: a proxy of ours answers for them.
    session.chromiumFlags += QString(" --proxy-server=127.0.0.1:%1").arg(server.port());
    launch({}, "file://");
    const QString host = QString("127.0.0.1:%1").arg(server.port());

    // The start page's address is selected: typing replaces it.
    x.type(host + "/typed");
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return session.hasPage("http://" + host + "/typed", "Typed page"); },
                        30000));

    x.click(points().addressBox());
    x.type("c++ & qt");
    x.key("KP_Enter");
    const QByteArray searched = "GET http://www.baidu.com/s?wd=c%2B%2B%20%26%20qt HTTP/1.1";
    EXPECT_TRUE(waitFor(
        [&] {
            for (const QByteArray &head : server.requestHeads)
                if (head.startsWith(searched)) return true;
            return false;
        },
        30000));

    x.click(points().addressBox());
    x.type("python.org");
    x.key("Return");
    EXPECT_TRUE(waitFor(
        [&] {
            for (const QByteArray &head : server.requestHeads)
                if (head.startsWith("GET http://python.org/ HTTP/1.1")) return true;
            return false;
        },
        30000));

    auto later = session.start({host + "/handed"});
    ASSERT_TRUE(later->waitForFinished(15000));
    EXPECT_EQ(later->exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return session.hasPage("http://" + host + "/handed"); }, 30000));
    for (const auto &p : session.pages()) EXPECT_FALSE(p.first.startsWith("file:///tmp")) << p.first.toStdString();

    for (const QByteArray &head : server.requestHeads)
        EXPECT_TRUE(head.contains("\r\nAccept-Language: zh-CN")) << head.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Desktops, InputE2E, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "openbox" : "bare"; });
