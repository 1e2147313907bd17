// What a user of another browser does without thinking: keys, find, Ctrl+click, the tab's
// icon, a page whose process dies. Real keys and clicks through the X server into the real
// program, with a window manager, on pages of a loopback server.
#include <QBuffer>
#include <QImage>

#include "support/habitse2e.h"

// Ctrl+L and Enter, Alt+Left/Right, Ctrl+T, Ctrl+W, Ctrl+Shift+T with its history,
// Ctrl+Tab, a tab dragged and copied, and Ctrl+wheel zooming the page as the label says.
TEST_F(HabitsE2E, KeysDriveTabsHistoryAndZoom) {
    server.page("/zoom", "z1",
                coloured(kCyan) +
                    "<script>onresize=()=>document.title='z'+devicePixelRatio"
                    "</script>");
    launch(server.url("/magenta"));
    x.click(points().page());
    x.key("ctrl+l");
    x.type(server.url("/cyan"));
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return titled("Cyan"); }, 20000));
    x.click(points().page());
    x.key("alt+Left");
    ASSERT_TRUE(waitFor([&] { return titled("Magenta") && share(kMagenta) > 0.9; }, 10000));
    x.key("alt+Right");
    ASSERT_TRUE(waitFor([&] { return titled("Cyan") && share(kCyan) > 0.9; }, 10000));

    x.key("ctrl+t");
    ASSERT_TRUE(waitFor([&] { return session.pages().size() == 2; }, 20000));
    x.type(server.url("/typed"));  // a new tab takes the typing at once
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return titled("Typed"); }, 20000));
    x.key("ctrl+Tab");  // to the first tab, the cyan page
    EXPECT_TRUE(waitFor([&] { return share(kCyan) > 0.9; }, 5000));
    x.key("ctrl+w");
    ASSERT_TRUE(waitFor([&] { return session.pages().size() == 1 && !titled("Cyan"); }, 10000));
    x.key("ctrl+shift+t");  // back with its history: magenta, then cyan
    ASSERT_TRUE(waitFor([&] { return titled("Cyan") && share(kCyan) > 0.9; }, 20000));
    x.click(points().page());
    x.key("alt+Left");
    EXPECT_TRUE(waitFor([&] { return titled("Magenta"); }, 10000));
    // It came back first, where it was; dragged past the other tab it is second.
    auto front = [&](const QString &title) {
        return waitFor([&] { return !x.windows("^" + title + " - Orvex Lumetta$").isEmpty(); },
                       5000);
    };
    x.key("ctrl+2");
    EXPECT_TRUE(front("Typed"));
    const QPoint from = points().firstTab(), to = points().emptyTabStrip();
    x.drag(from, QPoint(to.x(), from.y()));
    x.key("ctrl+1");
    EXPECT_TRUE(front("Typed"));
    x.click(points().firstTab(), 3);  // its copy comes right after it
    QTest::qWait(500);
    for (const char *k : {"Down", "Down", "Down", "Down", "Down", "Return"}) x.key(k);
    ASSERT_TRUE(waitFor([&] { return session.pages().size() == 3; }, 10000));
    x.key("ctrl+3");
    EXPECT_TRUE(front("Magenta"));

    x.key("ctrl+l");
    x.type(server.url("/zoom"));
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return titled("z1"); }, 20000));
    x.xdo(
        {"mousemove", QString::number(points().page().x()), QString::number(points().page().y())});
    x.xdo({"keydown", "ctrl"});
    x.xdo({"click", "4"});  // the wheel away from the user: in
    x.xdo({"keyup", "ctrl"});
    EXPECT_TRUE(waitFor([&] { return titled("z1.5"); }, 5000));
    x.key("ctrl+0");
    EXPECT_TRUE(waitFor([&] { return titled("z1"); }, 5000));
}

// Ctrl+F counts what the page holds, with and without letter case; Escape closes; nothing
// finds in a locked page.
TEST_F(HabitsE2E, TheFindBarCountsTheMatches) {
    server.page("/words", "Words",
                QString("<p>%1</p><p>%2</p>")
                    .arg(QString("apple ").repeated(12), QString("Apple ").repeated(3)));
    QProcessEnvironment debug;
    debug.insert("OLUMETTA_DEBUG", "1");
    launch(server.url("/words"), debug);
    browser->readAllStandardError();
    x.click(points().page());
    x.key("ctrl+f");
    QTest::qWait(300);
    x.type("apple");
    QByteArray said;
    auto says = [&](const QByteArray &text) {
        return waitFor(
            [&] {
                said += browser->readAllStandardError();
                return said.contains(text);
            },
            10000);
    };
    EXPECT_TRUE(says("found 1 of 15")) << said.toStdString();
    x.key("Return");
    EXPECT_TRUE(says("found 2 of 15")) << said.toStdString();
    x.key("shift+F3");
    EXPECT_TRUE(says("found 1 of 15")) << said.toStdString();
    x.key("Escape");
    QTest::qWait(500);
    said.clear();
    x.key("F3");  // the bar comes back with its text and finds again
    EXPECT_TRUE(says("of 15")) << said.toStdString();
    // Locked, the page is searched by nothing and kept by no bookmark.
    x.hold("F4");
    QTest::qWait(800);
    said.clear();
    for (const char *k : {"ctrl+f", "a", "p", "F3", "ctrl+d"}) x.key(k);
    QTest::qWait(1500);
    said += browser->readAllStandardError();
    EXPECT_FALSE(said.contains(" of 1")) << said.toStdString();  // 0 of 0: the highlights go
    EXPECT_TRUE(x.windows("^添加书签$").isEmpty());
}

// Links opened behind by a middle click, then a Ctrl+click, line up after their page in that
// order; the tab shows the icon; a link dropped on the strip opens a tab, dropped text is entered.
TEST_F(HabitsE2E, CtrlClickOpensABackgroundTabAndTheTabShowsTheIcon) {
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(kRed);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        red.save(&buffer, "PNG");
    }
    TestHttpServer::Response icon;
    icon.contentType = "image/png";
    icon.body = png;
    server.route("/red.png", icon);
    server.route("/favicon.ico", icon);
    server.page("/links", "Links",
                "<link rel=icon href=/red.png>" + coloured(kCyan) +
                    QString("<p>%1<a href=/magenta style=display:block;height:40vh>A</a>"
                            "<a href=/cyan style=display:block;height:40vh>B</a>")
                        .arg(server.url("/typed").mid(7)));
    launch(server.url("/links"));
    ASSERT_TRUE(waitFor(
        [&] {
            const QPoint tab = points().firstTab();
            return ShareOfColour(x.screenshot(), QRect(tab - QPoint(30, 10), QSize(60, 20)), kRed) >
                   0.05;
        },
        10000));
    const QRect page = points().pageArea();
    const QPoint text = page.topLeft() + QPoint(50, 18), a(page.center().x(), page.top() + 150);
    x.click(a, 2);
    x.xdo({"keydown", "ctrl"});
    x.click(a + QPoint(0, 230));  // B
    x.xdo({"keyup", "ctrl"});
    ASSERT_TRUE(waitFor([&] { return titled("Magenta") && titled("Cyan"); }, 20000));
    QTest::qWait(500);
    EXPECT_GT(share(kCyan), 0.9);  // still on the page of the link
    // The address box is the front tab's: Ctrl+L, Return reloads the page of the link.
    x.key("ctrl+l");
    x.key("Return");
    EXPECT_TRUE(waitFor([&] { return server.requests.count("/links") == 2; }, 10000));
    QTest::qWait(500);
    EXPECT_GT(share(kCyan), 0.9);
    x.key("ctrl+Tab");  // A's, then B's
    EXPECT_TRUE(waitFor([&] { return share(kMagenta) > 0.9; }, 5000));
    x.key("ctrl+1");
    x.drag(a, points().emptyTabStrip());
    EXPECT_TRUE(waitFor([&] { return session.pages().size() == 4 && share(kMagenta) > 0.9; }));
    x.key("ctrl+1");
    x.click(text, 1, 3);
    x.drag(text, points().addressBox());
    EXPECT_TRUE(waitFor([&] { return titled("Typed"); }, 10000));
}

// A page whose process is killed shows the crash panel; its button brings the page back.
TEST_F(HabitsE2E, AKilledPageShowsTheCrashPanelAndReloads) {
    launch(server.url("/magenta"));
    ASSERT_TRUE(waitFor([&] { return share(kMagenta) > 0.9; }, 10000));
    const QList<qint64> renderers = RenderersOf(browser->processId());
    ASSERT_FALSE(renderers.isEmpty());
    EXPECT_EQ(RenderersOf(browser->processId(), true).size(), 1);  // no unsandboxed one
    for (qint64 pid : renderers) QProcess::execute("kill", {"-9", QString::number(pid)});
    ASSERT_TRUE(waitFor([&] { return share(QColor(0xf4, 0xf6, 0xf9)) > 0.5; }, 10000));
    x.key("space");  // the panel's button has the focus: 重新加载
    EXPECT_TRUE(waitFor([&] { return share(kMagenta) > 0.9; }, 20000));
    EXPECT_EQ(browser->state(), QProcess::Running);
}
