// The first minute of use, as a user's hands do it: keys and clicks through the X server
// into the real program, on an X server of the test's own, once bare and once with a
// window manager; what the user sees is read back from the engine, the X server, the
// screen and the files.
#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include "shell/config.h"
#include "support/browsersession.h"
#include "support/testfolder.h"
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
        ASSERT_FALSE(session.waitForFrame().isEmpty());
        ASSERT_TRUE(waitFor([&] { return pageOpen(firstUrl); }, 40000)) << firstUrl.toStdString();
        QTest::qWait(300);
    }
    bool pageOpen(const QString &urlStart) const {
        for (const auto &p : session.pages())
            if (p.first.startsWith(urlStart)) return true;
        return false;
    }
    QRect frameRect() const { return session.frameRect(); }
    ChromePoints points() const { return ChromePoints(frameRect()); }
    double magentaShare() const {
        return ShareOfColour(x.screenshot(), points().pageArea(), kMagenta);
    }

    XSession x{GetParam()};
    BrowserSession session{&x};
    TestHttpServer server;
    std::unique_ptr<QProcess> browser;
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

// Double-click on the toolbar and the "调节" button maximise and restore to the exact normal
// geometry; a drag moves the frame and lets go with the button; closing maximised keeps
// the stored geometry, so the next start comes up at the normal size.
TEST_P(InputE2E, MaximiseRestoreDragAndCloseMaximised) {
    const QByteArray form = ReadBytes(session.folder.file("数据/Form.ini"));
    launch({server.url("/typed")}, server.url("/typed"));
    const QRect normal = frameRect();
    const QRect screen(0, 0, 1280, 800);
    ASSERT_NE(normal, screen);

    x.click(points().toolbar(), 1, 2);
    EXPECT_TRUE(waitFor([&] { return frameRect() == screen; }, 5000)) << frameRect().width();
    x.click(points().toolbar(), 1, 2);
    EXPECT_TRUE(waitFor([&] { return frameRect() == normal; }, 5000)) << frameRect().width();
    x.click(points().caption(1));
    EXPECT_TRUE(waitFor([&] { return frameRect() == screen; }, 5000));
    x.click(points().caption(1));
    EXPECT_TRUE(waitFor([&] { return frameRect() == normal; }, 5000));

    const QPoint grab = points().toolbar();
    x.xdo({"mousemove", QString::number(grab.x()), QString::number(grab.y()), "mousedown", "1"});
    // A hand's first motion is a pixel or two; then it sweeps.
    x.xdo({"mousemove", QString::number(grab.x() + 1), QString::number(grab.y() + 1)});
    for (int step = 1; step <= 10; ++step) {
        QTest::qWait(30);
        x.xdo({"mousemove", QString::number(grab.x() + step * 10),
               QString::number(grab.y() + step * 6)});
    }
    x.xdo({"mouseup", "1"});
    auto near = [](const QRect &a, const QRect &b) {
        return a.size() == b.size() && (a.topLeft() - b.topLeft()).manhattanLength() <= 2;
    };
    const QRect moved = normal.translated(100, 60);
    EXPECT_TRUE(waitFor([&] { return near(frameRect(), moved); }, 5000)) << frameRect().x();
    // Let go: the pointer moves on without the frame.
    x.xdo({"mousemove", QString::number(grab.x() + 200), QString::number(grab.y() + 150)});
    QTest::qWait(400);
    EXPECT_TRUE(near(frameRect(), moved));

    x.click(points().caption(1));
    ASSERT_TRUE(waitFor([&] { return frameRect() == screen; }, 5000));
    x.click(points().caption(0));
    ASSERT_TRUE(waitFor([&] { return browser->state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(ReadBytes(session.folder.file("数据/Form.ini")), form);
    launch({server.url("/typed")}, server.url("/typed"));
    EXPECT_EQ(frameRect().size(), normal.size());
}

INSTANTIATE_TEST_SUITE_P(Desktops, InputE2E, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "openbox" : "bare"; });
