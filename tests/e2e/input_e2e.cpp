// The first minute of use, as a user's hands do it: the address box, the frame's buttons and
// edges, the menus, gestures and pop-ups, through real keys and clicks.
#include "support/inpute2e.h"

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
    ASSERT_TRUE(
        waitFor([&] { return session.hasPage("http://" + host + "/typed", "Typed page"); }, 30000));

    x.click(points().addressBox());
    x.type("c++ & qt");
    x.key("KP_Enter");
    // Over https: the proxy sees only the way in to the engine, never the words searched.
    EXPECT_TRUE(waitFor(
        [&] {
            for (const QByteArray &head : server.requestHeads)
                if (head.startsWith("CONNECT www.baidu.com:443")) return true;
            return false;
        },
        30000));
    for (const QByteArray &head : server.requestHeads) EXPECT_FALSE(head.contains("wd=c%2B%2B"));

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
    for (const auto &p : session.pages())
        EXPECT_FALSE(p.first.startsWith("file:///tmp")) << p.first.toStdString();

    for (const QByteArray &head : server.requestHeads) {
        if (head.startsWith("CONNECT ")) continue;  // a tunnel asks for no page
        EXPECT_TRUE(head.contains("\r\nAccept-Language: zh-CN")) << head.toStdString();
    }
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

// A double-click on the menu button shows the navigation page and pops no menu; the
// frame without tabs still answers: its strip's menu opens a tab, and so does the
// address box.
TEST_P(InputE2E, MenuButtonDoubleClickAndAFrameWithoutTabs) {
    launch({server.url("/magenta")}, server.url("/magenta"));
    ASSERT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 10000));
    const int windows = x.windowsOf(browser->processId()).size();
    x.click(points().menuButton(), 1, 2);
    QTest::qWait(700);                // longer than a double-click: a late menu would be up by now
    EXPECT_LT(magentaShare(), 0.05);  // the navigation page covers the page
    EXPECT_EQ(x.windowsOf(browser->processId()).size(), windows);
    x.click(points().menuButton(), 1, 2);
    EXPECT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 3000));

    // The tab's menu: "关闭选项卡".
    x.click(points().firstTab(), 3);
    x.key("Down");
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return session.pages().isEmpty(); }, 10000));
    EXPECT_FALSE(session.frameWindow().isEmpty());

    // The empty strip offers "新建选项卡": the start page opens.
    x.click(points().emptyTabStrip(), 3);
    x.key("Down");
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return pageOpen("file://"); }, 20000));

    x.click(points().firstTab(), 3);
    x.key("Down");
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return session.pages().isEmpty(); }, 10000));
    x.click(points().addressBox());
    x.type(server.url("/typed"));
    x.key("Return");
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/typed"), "Typed page"); }));
}

// Middle-button strokes: the trail while the button is held and gone after it, back to
// the last page, a new tab with its notice, a plain middle click that opens a link behind;
// the page takes a click at once; with gestures off the middle click opens the link too.
TEST_P(InputE2E, MiddleButtonGesturesAndNothingLeftInTheWay) {
    const QString magenta = "<style>html,body{background:#ff00ff;margin:0}</style>";
    server.page("/first", "First",
                magenta + "<a href='/second' style='display:block;height:100vh'>_</a>");
    server.page("/second", "Second",
                magenta + "<a href='/third' style='display:block;height:100vh'>_</a>");
    server.page("/third", "Third", magenta);
    launch({server.url("/first")}, server.url("/first"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/first"), "First"); }));
    const QPoint c = points().page();
    x.click(c);
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/second"), "Second"); }));
    auto stroke = [&](const QList<QPoint> &steps, QImage *during = nullptr) {
        x.xdo({"mousemove", QString::number(c.x()), QString::number(c.y()), "mousedown", "2"});
        QPoint at = c;
        for (const QPoint &step : steps) {
            at += step;
            x.xdo({"mousemove", QString::number(at.x()), QString::number(at.y())});
            QTest::qWait(30);
        }
        QTest::qWait(200);
        if (during) *during = x.screenshot();
        x.xdo({"mouseup", "2"});
    };
    const QList<QPoint> left(8, QPoint(-15, 0));
    QImage during;
    stroke(left, &during);
    const QRect path(c.x() - 100, c.y() - 1, 90, 1);
    EXPECT_LT(ShareOfColour(during, path, kMagenta), 0.5);  // the trail over the page
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/first"), "First"); }));
    EXPECT_FALSE(session.hasPage(server.url("/second")));
    EXPECT_TRUE(waitFor([&] { return magentaShare() > 0.95; }, 5000));  // and gone after it
    x.click(c);  // the page takes the next click at once
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/second"), "Second"); }, 5000));

    QList<QPoint> downRight(6, QPoint(0, 15));
    downRight += QList<QPoint>(6, QPoint(15, 0));
    stroke(downRight);
    // Return once the box has the keyboard, as a reader's Enter would come.
    ASSERT_TRUE(waitFor([&] { return x.windows("^鼠标手势$").contains(x.focusedWindow()); }, 5000));
    x.key("Return");
    EXPECT_TRUE(waitFor([&] { return x.windows("^鼠标手势$").isEmpty(); }, 5000));
    EXPECT_EQ(session.pages().size(), 2);
    x.click(points().firstTab());
    QTest::qWait(500);
    x.click(c, 2);  // a plain middle click is no gesture: the link opens behind
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/third"), "Third"); }, 10000));
    EXPECT_EQ(session.pages().size(), 3);
    EXPECT_FALSE(x.windows("^Second - Orvex Lumetta$").isEmpty());
    // The zoom label keeps its middle click, as its tool tip says: back to 100 %.
    auto zoom = [&] { return ReadIni("Setting", "Zoom", session.folder.file("config.ini")); };
    x.click(points().zoomLabel());
    x.click(points().zoomLabel());
    ASSERT_TRUE(waitFor([&] { return zoom() == "200"; }, 5000)) << zoom().toStdString();
    x.click(points().zoomLabel(), 2);
    EXPECT_TRUE(waitFor([&] { return zoom() == "100"; }, 5000)) << zoom().toStdString();

    browser->kill();
    browser->waitForFinished(5000);
    setting("Mouse", "0");
    launch({server.url("/second")}, server.url("/second"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/second"), "Second"); }));
    stroke(left);
    x.click(c, 2);
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/third"), "Third"); }, 10000));
    EXPECT_TRUE(session.hasPage(server.url("/second"), "Second"));  // no stroke went back
}

// A page that opens windows in a loop without a click gets none; the status strip counts
// them and a click on it opens each blocked page once. A click's own new window opens.
TEST_P(InputE2E, PopUpsNoClickAskedForAreBlockedAndCounted) {
    for (int i = 0; i < 3; ++i) server.page(QString("/pop%1").arg(i), QString("Pop %1").arg(i));
    server.page("/loop", "Loop",
                "<style>body{margin:0}</style><a target=_blank href='/pop0' style='display:block;"
                "height:100vh;background:#f0f'>_</a><script>"
                "for (let i = 0; i < 200; ++i) window.open('/pop' + (i % 3));</script>");
    launch({server.url("/loop")}, server.url("/loop"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/loop"), "Loop"); }));
    // Pages with an address: the engine may list the blank page it made for a refused
    // window for a moment before it drops it.
    auto opened = [&] {
        QStringList urls;
        for (const auto &page : session.pages())
            if (page.first.startsWith("http")) urls << page.first;
        return urls;
    };
    ASSERT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 20000));  // the loop has ended
    QTest::qWait(1500);
    EXPECT_EQ(opened().size(), 1) << opened().join(' ').toStdString();
    const QRect f = frameRect();
    x.click({f.left() + 60, f.bottom() - 12});  // the status text
    EXPECT_TRUE(waitFor([&] { return opened().size() == 4; }, 15000));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(session.hasPage(server.url(QString("/pop%1").arg(i)))) << i;
    x.click({f.left() + 60, f.bottom() - 12});  // once only
    QTest::qWait(1000);
    EXPECT_EQ(opened().size(), 4);
    x.click(points().firstTab());
    // The engine drops clicks on a page that has not drawn yet: click what the user sees.
    ASSERT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 10000));
    x.click(points().page());  // a click's own window opens
    EXPECT_TRUE(waitFor([&] { return opened().size() == 5; }, 15000));
}

INSTANTIATE_TEST_SUITE_P(Desktops, InputE2E, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "openbox" : "bare"; });
