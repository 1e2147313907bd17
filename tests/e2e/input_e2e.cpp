// The first minute of use, as a user's hands do it: keys and clicks through the X server
// into the real program, on an X server of the test's own, once bare and once with a
// window manager; what the user sees is read back from the engine, the X server, the
// screen and the files.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "core/base64.h"
#include "core/bookmarks.h"
#include "core/codepage.h"
#include "core/inifile.h"
#include "core/session.h"
#include "core/store.h"
#include "skins/colour.h"
#include "support/browsersession.h"
#include "support/httpserver.h"
#include "support/testfolder.h"
#include "support/wait.h"
#include "support/xsession.h"

namespace {

const QColor kMagenta(255, 0, 255);
const QColor kFault(0xE0, 0x4A, 0x3F);  // a failed download's bar

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
    // Typed over whatever the address box holds; Return after it when asked.
    void typeAddress(const QString &text, bool enter = true) {
        x.click(points().addressBox());
        x.key("ctrl+a");
        x.type(text);
        if (enter) x.key("Return");
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

// Alt+F4 closing another program leaves our page alone; F4 locks it; the lock takes the
// password from the keyboard; minimising with "MinPass" brings the page back locked.
TEST_P(InputE2E, F4AndMinimiseLockAndTheKeyboardUnlocks) {
    setting("MinPass", "1");
    // The longest password the settings take (93 bytes), typed from the keyboard.
    const QString password = QString("Pw9!").repeated(23) + "x";
    setting("PassWord", Base64Encode(password));
    launch({server.url("/magenta")}, server.url("/magenta"));
    ASSERT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 10000));

    // Another program in front; Alt+F4 is meant for it.
    QProcess other;
    const QString otherWindow = x.openWindow(other, "other", "+300+300");
    ASSERT_FALSE(otherWindow.isEmpty());
    // The window manager may still be passing the focus when the keys come: a user would
    // press them again, and so does this (our page must stay unlocked every time).
    for (int attempt = 0; attempt < 3 && other.state() != QProcess::NotRunning; ++attempt) {
        x.clickOpenWindow(otherWindow);
        x.xdo({"keydown", "alt"});
        x.hold("F4");
        x.xdo({"keyup", "alt"});
        QTest::qWait(400);
        if (!x.windowManager()) break;
        waitFor([&] { return other.state() == QProcess::NotRunning; }, 3000);
    }
    if (x.windowManager()) {
        EXPECT_EQ(other.state(), QProcess::NotRunning);
    }
    other.kill();
    other.waitForFinished(3000);
    EXPECT_GT(magentaShare(), 0.9);

    x.hold("F4");
    EXPECT_TRUE(waitFor([&] { return magentaShare() < 0.05; }, 5000));
    x.click(points().page());  // into the window, to type there
    x.type(password.left(92));
    x.key("Return");
    QTest::qWait(300);
    EXPECT_LT(magentaShare(), 0.05);  // wrong: still covered, the text stays to correct
    x.key("ctrl+a");
    x.type(password);
    x.key("Return");
    EXPECT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 5000));

    // The lock travels with the page: its copy ("复制选项卡") and the tab closed and brought
    // back show nothing of it.
    x.hold("F4");
    ASSERT_TRUE(waitFor([&] { return magentaShare() < 0.05; }, 5000));
    x.click(points().firstTab(), 3);
    QTest::qWait(500);
    for (const char *k : {"Down", "Down", "Down", "Down", "Return"}) x.key(k);
    ASSERT_TRUE(waitFor([&] { return session.pages().size() == 2; }, 10000));
    QTest::qWait(1000);
    EXPECT_EQ(magentaShare(), 0.0);  // not one pixel of the page
    x.key("ctrl+w");
    ASSERT_TRUE(waitFor([&] { return session.pages().size() == 1; }, 10000));
    x.key("ctrl+shift+t");
    ASSERT_TRUE(waitFor([&] { return session.pages().size() == 2; }, 10000));
    QTest::qWait(1000);
    EXPECT_EQ(magentaShare(), 0.0);
    x.click(points().page());
    x.type(password);
    x.key("Return");
    EXPECT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 5000));

    x.click(points().caption(2));  // minimise
    if (x.windowManager()) {
        EXPECT_TRUE(waitFor([&] { return session.frameWindow().isEmpty(); }, 5000));
        // Back from the window manager's list, as a taskbar would bring it.
        QByteArray all;
        x.xdo({"search", "--name", "Orvex Lumetta$"}, &all);
        for (const QByteArray &w : all.trimmed().split('\n')) x.xdo({"windowactivate", w});
        EXPECT_TRUE(waitFor([&] { return !session.frameWindow().isEmpty(); }, 5000));
    }
    QTest::qWait(500);
    EXPECT_LT(magentaShare(), 0.05);
    x.type(password);
    x.key("Return");
    EXPECT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 5000));
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

// F2 from another program hides every window of ours and leaves only the disguise, in the
// screen's corner above the panel; only the exact restore character, or a later start,
// brings everything back as it was.
TEST_P(InputE2E, TheBossKeyHidesEverythingAndOneKeyBringsItBack) {
    setting("SHKey", "q");
    setting("SuperHide", "0");
    int panel = 0;
    QProcess bar;  // with a window manager: a panel keeping 40 pixels at the bottom
    if (x.windowManager()) {
        const QString panelWindow = x.openWindow(bar, "panel", "1280x40+0+760");
        ASSERT_FALSE(panelWindow.isEmpty());
        QProcess::execute("env", {"DISPLAY=" + x.display(), "xprop", "-id", panelWindow, "-f",
                                  "_NET_WM_STRUT_PARTIAL", "32c", "-set", "_NET_WM_STRUT_PARTIAL",
                                  "0,0,0,40,0,0,0,0,0,0,0,1279"});
        panel = 40;
    }
    launch({server.url("/magenta")}, server.url("/magenta"));
    const qint64 pid = browser->processId();
    // The download manager through the menu button: 页面 → 启动下载管理器.
    x.click(points().menuButton());
    QTest::qWait(700);
    for (const char *k : {"Down", "Down", "Down", "Right", "Down", "Down", "Return"}) x.key(k);
    ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 2; }, 5000));
    const QRect frame = frameRect();

    QProcess other;  // beside the frame, so that clicking it never lands on ours
    const QString otherWindow = x.openWindow(other, "other", "+1165+100");
    ASSERT_FALSE(otherWindow.isEmpty());
    x.clickOpenWindow(otherWindow);

    const struct {
        const char *superHide;
        QSize size;
    } disguises[] = {{"0", {169, 22}}, {"1", {166, 25}}, {"2", {127, 26}}};
    for (const auto &d : disguises) {
        setting("SuperHide", d.superHide);
        x.hold("F2");
        QStringList ours;
        ASSERT_TRUE(waitFor([&] { return (ours = x.windowsOf(pid)).size() == 1; }, 5000))
            << d.superHide;
        const QRect shown = x.geometry(ours.first());
        EXPECT_EQ(shown,
                  QRect(QPoint(1280 - d.size.width(), 800 - panel - d.size.height()), d.size))
            << d.superHide;
        x.hold("F2");  // again: nothing changes
        EXPECT_EQ(x.windowsOf(pid), ours);
        x.click(shown.center());
        x.type("Q");
        QTest::qWait(300);
        EXPECT_EQ(x.windowsOf(pid), ours);
        if (QString(d.superHide) == "1") {  // a later start ends the disguise and opens its page
            auto later = session.start({server.url("/typed")});
            ASSERT_TRUE(later->waitForFinished(15000));
            EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/typed")); }, 20000));
        } else {
            x.type("q");
        }
        ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 2; }, 5000)) << d.superHide;
        EXPECT_EQ(frameRect(), frame);
        x.clickOpenWindow(otherWindow);  // the other program in front again
        ASSERT_EQ(other.state(), QProcess::Running);
    }
    // A page's question asked behind the disguise waits for the restore, over its page.
    server.page("/later", "Later",
                "<style>html,body{background:#ff00ff}</style>"
                "<script>setTimeout(()=>prompt('名字'),2000)</script>");
    typeAddress(server.url("/later"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/later"), "Later"); }));
    x.hold("F2");
    ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 1; }, 5000));
    QTest::qWait(3000);
    EXPECT_EQ(x.windowsOf(pid).size(), 1);
    x.type("q");
    ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 2; }, 5000));
    EXPECT_TRUE(waitFor([&] { return magentaShare() < 0.6; }, 5000));
    x.key("Escape");
    EXPECT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 5000));
    // A box waiting for its answer goes too, and waits again after the restore; a
    // maximised frame comes back maximised.
    x.click(points().toolbar(), 1, 2);
    ASSERT_TRUE(waitFor([&] { return frameRect().width() == 1280; }, 5000));
    setting("Unload", "1");
    x.click(points().caption(0));  // the close question
    ASSERT_TRUE(waitFor([&] { return !x.windows("^关闭$").isEmpty(); }, 5000));
    x.hold("F2");
    ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 1; }, 5000));
    EXPECT_TRUE(x.windows("^关闭$").isEmpty());
    QTest::qWait(300);
    x.type("q");
    ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 3; }, 5000));
    EXPECT_FALSE(x.windows("^关闭$").isEmpty());
    EXPECT_EQ(frameRect().width(), 1280);
    x.key("Escape");  // 否: the browser stays
    EXPECT_TRUE(waitFor([&] { return x.windows("^关闭$").isEmpty(); }, 5000));
    QTest::qWait(300);
    EXPECT_EQ(browser->state(), QProcess::Running);
    other.kill();
    bar.kill();
    other.waitForFinished(3000);
    bar.waitForFinished(3000);
}

// "添加到书签" from the menu and Enter: the page's file lands in 书签/, and a later start with
// that file opens the page in the running browser.
TEST_P(InputE2E, ABookmarkAddedWithEnterOpensTheSamePageLater) {
    launch({server.url("/typed")}, server.url("/typed"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/typed"), "Typed page"); }));
    x.click(points().menuButton());
    QTest::qWait(700);
    for (const char *k : {"Down", "Down", "Down", "Right", "Down", "Down", "Down", "Down"})
        x.key(k);
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return !x.windows("^添加书签$").isEmpty(); }, 5000));
    x.key("Return");
    const QString file = session.folder.file("书签/Typed page.zvb");
    ASSERT_TRUE(waitFor([&] { return QFile::exists(file); }, 5000));
    EXPECT_TRUE(x.windows("^添加书签$").isEmpty());

    x.click(points().addressBox());
    x.type(server.url("/handed"));
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/handed")); }));
    auto later = session.start({file});
    ASSERT_TRUE(later->waitForFinished(15000));
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/typed"), "Typed page"); }));
    EXPECT_EQ(session.pages().size(), 2);
}

// A file behind a link: Enter in the save dialog keeps the server's name in the user's
// download folder; then one right click opens one menu, the task's over a task and the
// window's elsewhere, and its first item is what runs.
TEST_P(InputE2E, ALinkedFileGoesToTheDownloadFolderAndARightClickOpensOneMenu) {
    TestHttpServer::Response file;
    file.contentType = "application/octet-stream";
    file.headers = {{"Content-Disposition", "attachment; filename*=UTF-8''%E5%AD%A3%E5%BA%A6.bin"}};
    file.body = QByteArray(100000, 's');
    file.stallAfter = 30000;  // the task keeps running
    server.route("/file", file);
    server.page("/links", "Links", "<a href='/file' style='display:block;height:100vh'>file</a>");
    launch({server.url("/links")}, server.url("/links"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/links"), "Links"); }));
    x.click(points().page());
    ASSERT_TRUE(waitFor([&] { return !x.windows("^下载文件另存为$").isEmpty(); }, 15000));
    QTest::qWait(500);
    x.key("Return");
    // The engine's own download writes the task's partial file (under a suffix of its own
    // until the end).
    const QDir folder(session.runtime.path() + "/Downloads");
    auto writing = [&] { return !folder.entryList({"季度.bin.part*"}, QDir::Files).isEmpty(); };
    ASSERT_TRUE(waitFor(writing, 15000)) << folder.entryList().join(" ").toStdString();
    QStringList manager;
    ASSERT_TRUE(waitFor([&] { return !(manager = x.windows("^下载管理器$")).isEmpty(); }, 5000));
    QTest::qWait(500);
    const qint64 pid = browser->processId();
    const QRect m = x.geometry(manager.first());
    // The task's icon, then the empty window under the task.
    const QList<std::tuple<QPoint, QString, QString>> clicks{
        {m.topLeft() + QPoint(20, 20), "^提示$", "^新建下载任务$"},
        {m.topLeft() + QPoint(20, m.height() - 30), "^新建下载任务$", "^提示$"}};
    for (const auto &click : clicks) {
        const auto &[at, wanted, unwanted] = click;
        const QString shown = wanted;  // a lambda may not capture a structured binding (C++17)
        const QStringList before = x.windowsOf(pid);
        x.click(at, 3);
        QStringList menus;
        ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() > before.size(); }, 5000));
        QTest::qWait(500);
        for (const QString &w : x.windowsOf(pid))
            if (!before.contains(w)) menus << w;
        EXPECT_EQ(menus.size(), 1) << wanted.toStdString();
        x.key("Down");
        x.key("Return");
        EXPECT_TRUE(waitFor([&] { return !x.windows(shown).isEmpty(); }, 5000))
            << wanted.toStdString();
        EXPECT_TRUE(x.windows(unwanted).isEmpty()) << unwanted.toStdString();
        x.key("Escape");
        ASSERT_TRUE(waitFor([&] { return x.windows(shown).isEmpty(); }, 5000));
    }
    EXPECT_TRUE(writing());  // the question was answered "no"
}

// Downloads as a user makes them, by address: a one-time link; two files of one name, both
// whole; a failure beside a success in either order; a name too long for the disk; a big file
// in large chunks through "新建任务"; a full disk.
TEST_P(InputE2E, DownloadsOfOneNameOneTimeLinksLongNamesBigChunksAndAFullDisk) {
    if (!GetParam()) GTEST_SKIP() << "once is enough, on a desktop with a window manager";
    auto route = [&](const QString &path, const QByteArray &name, TestHttpServer::Response r) {
        r.contentType = "application/octet-stream";
        r.headers << qMakePair(QByteArray("Content-Disposition"),
                               "attachment; filename*=UTF-8''" + name.toPercentEncoding());
        server.route(path, r);
    };
    TestHttpServer::Response once, slow, failing, full, chunked;
    once.body = QByteArray("only once ").repeated(5000);
    once.once = true;
    slow.generated = 4 << 20;  // about 8 s: still running when its namesake starts
    slow.chunkBytes = 128 << 10;
    slow.pauseMs = 250;
    failing.body = QByteArray(300000, 'f');
    failing.stallAfter = 100000;
    failing.closeAfterMs = 5000;
    full.generated = 1 << 20;
    chunked.generated = 300 << 20;
    chunked.chunkBytes = 1 << 20;
    const QByteArray longName = QByteArray("长").repeated(100) + ".bin";  // 304 bytes
    for (const auto &[path, name, r] :
         QList<std::tuple<QString, QByteArray, TestHttpServer::Response>>{
             {"/once", "once.bin", once},
             {"/y1", "y.bin", failing},
             {"/z2", "z.bin", failing},
             {"/long", longName, slow},
             {"/full", "full.bin", full},
             {"/x1", "x.bin", slow},
             {"/chunked", "chunked.bin", chunked},
             {"/x2", "x.bin", slow},
             {"/y2", "y.bin", slow},
             {"/z1", "z.bin", slow}})
        route(path, name, r);
    launch({server.url("/typed")}, server.url("/typed"));
    const QDir folder(session.runtime.path() + "/Downloads");
    auto saveAs = [&](const QString &path) {  // empty: as the dialog proposes
        ASSERT_TRUE(waitFor([&] { return !x.windows("^下载文件另存为$").isEmpty(); }, 15000));
        QTest::qWait(500);
        if (!path.isEmpty()) {
            x.key("ctrl+a");
            x.type(path);
        }
        x.key("Return");
        ASSERT_TRUE(waitFor([&] { return x.windows("^下载文件另存为$").isEmpty(); }, 5000));
    };
    auto download = [&](const QString &path, const QString &saveTo = {}) {
        typeAddress(server.url(path));
        saveAs(saveTo);
    };
    // Each completion's notice is answered, as a user would, before the next address.
    auto settle = [&](const QStringList &names) {
        const auto there = [&] {
            return std::all_of(names.begin(), names.end(),
                               [&](auto &n) { return folder.exists(n); });
        };
        ASSERT_TRUE(waitFor(there, 30000)) << folder.entryList(QDir::Files).join(" ").toStdString();
        // Notices, until none has come for a second and a half.
        while (waitFor([&] { return !x.windows("^通知$").isEmpty(); }, 1500)) {
            x.xdo({"windowactivate", "--sync", x.windows("^通知$").value(0)});
            x.key("Return");
            QTest::qWait(300);
        }
    };
    const QString fitted = QString::fromUtf8(QByteArray("长").repeated(78) + ".bin");  // 238 bytes
    const QList<std::pair<QStringList, QStringList>> rounds{
        {{"/once"}, {"once.bin"}},
        {{"/x1", "/x2"}, {"x.bin", "x (1).bin"}},  // both whole
        {{"/y1", "/y2"}, {"y (1).bin"}},           // the first fails
        {{"/z1", "/z2"}, {"z.bin"}},               // the second fails
        {{"/long"}, {fitted}}};
    QStringList whole;
    for (const auto &[paths, names] : rounds) {
        for (const QString &path : paths) download(path);
        settle(names);
        whole << names;
    }
    QTest::qWait(4000);  // the failures are over, and left nothing
    QStringList onDisk = folder.entryList(QDir::Files);
    onDisk.sort();
    whole.sort();
    EXPECT_EQ(onDisk, whole);
    EXPECT_EQ(server.requests.count("/once"), 1);
    const QByteArray slowBody = TestHttpServer::Generated(0, slow.generated);
    for (const QString &name : whole)
        EXPECT_EQ(ReadBytes(folder.filePath(name)), name == "once.bin" ? once.body : slowBody);

    // Three hundred MiB in 1 MiB chunks with no length, asked for in the manager.
    QString manager;
    ASSERT_TRUE(waitFor([&] { return !(manager = x.windows("^下载管理器$").value(0)).isEmpty(); }));
    auto clickManager = [&](int fromBottom, int button) {  // within the window, not its frame
        const QRect m = x.geometry(manager);
        x.xdo({"mousemove", "--window", manager, QString::number(m.width() / 2),
               QString::number(fromBottom < 0 ? -fromBottom : m.height() - fromBottom)});
        x.xdo({"click", QString::number(button)});
    };
    clickManager(-20, 1);
    x.key("End");  // past the last task, to the window's own menu
    QTest::qWait(300);
    clickManager(10, 3);
    QTest::qWait(500);
    x.key("Down");
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return !x.windows("^新建下载任务$").isEmpty(); }, 5000));
    QTest::qWait(300);
    x.type(server.url("/chunked"));
    x.key("Return");
    saveAs({});
    settle({"chunked.bin"});
    QFile got(folder.filePath("chunked.bin"));
    ASSERT_TRUE(got.open(QIODevice::ReadOnly));
    ASSERT_EQ(got.size(), chunked.generated);
    for (qint64 at = 0; at < chunked.generated; at += 1 << 20)
        ASSERT_EQ(got.read(1 << 20), TestHttpServer::Generated(at, 1 << 20)) << at;

    // A disk with no room: the task fails in the fault colour and leaves nothing.
    if (geteuid() != 0) return;
    QTemporaryDir tmp;
    ASSERT_EQ(QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", tmp.path()}),
              0);
    download("/full", tmp.path() + "/full.bin");
    EXPECT_TRUE(waitFor(
        [&] {
            clickManager(-20, 1);
            x.key("End");
            return ShareOfColour(x.screenshot(), x.geometry(manager), kFault) > 0.02;
        },
        15000));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList());
    QProcess::execute("umount", {tmp.path()});
}

// History: a database of random bytes is set aside and a new one records, even what was
// visited while another program held it; two letters of a visited page's title suggest it,
// Down and Return open it; the history window finds it by a word, deletes its day, and the
// suggestion is gone, from the files too.
TEST_P(InputE2E, VisitedPagesAreSuggestedFoundAndForgotten) {
    if (!GetParam()) GTEST_SKIP() << "once is enough, on a desktop with a window manager";
    server.page("/beta", "Beta Weekly");
    const QByteArray junk = QByteArray("\x13\x37 random bytes ").repeated(300);
    WriteBytes(session.folder.file("数据/history.sqlite"), junk);
    launch({server.url("/typed")}, server.url("/typed"));
    EXPECT_TRUE(waitFor(  // set aside after the first page: the start does not wait for it
        [&] { return ReadBytes(session.folder.file("数据/history.sqlite.damaged")) == junk; }));
    const qint64 pid = browser->processId();
    auto kept = [&] {  // the page's address or title anywhere in the database's files
        for (const char *f : {"", "-wal", "-shm"}) {
            const QByteArray b = ReadBytes(session.folder.file(QString("数据/history.sqlite") + f));
            if (b.toLower().contains("weekly") || b.contains(server.url("/beta").toUtf8()))
                return true;
        }
        return false;
    };
    // Another program holds the database while the pages are visited: the visits wait for it.
    QProcess holder;
    holder.start("python3", {"-c",
                             "import sqlite3,sys,time\n"
                             "c=sqlite3.connect(sys.argv[1],isolation_level=None)\n"
                             "c.execute('BEGIN IMMEDIATE');print('held',flush=True);time.sleep(60)",
                             session.folder.file("数据/history.sqlite")});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    typeAddress(server.url("/beta"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/beta"), "Beta Weekly"); }));
    typeAddress(server.url("/typed"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/typed"), "Typed page"); }));
    QTest::qWait(3000);
    EXPECT_FALSE(kept());
    holder.kill();
    holder.waitForFinished();
    ASSERT_TRUE(waitFor(kept));
    const int windows = x.windowsOf(pid).size();
    typeAddress("we", false);
    QTest::qWait(800);
    EXPECT_EQ(x.windowsOf(pid).size(), windows + 1);  // the suggestions
    x.key("Down");
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/beta"), "Beta Weekly"); }));

    x.key("ctrl+h");
    QString history;
    ASSERT_TRUE(waitFor([&] { return !(history = x.windows("^历史记录$").value(0)).isEmpty(); }));
    QTest::qWait(500);
    x.type("weekly");
    QTest::qWait(300);
    for (const char *k : {"Down", "Up", "Delete"}) x.key(k);  // the day's line: all of it
    QTest::qWait(300);
    x.xdo({"windowclose", history});
    ASSERT_TRUE(waitFor([&] { return x.windows("^历史记录$").isEmpty(); }));
    typeAddress("beta", false);
    QTest::qWait(800);
    EXPECT_EQ(x.windowsOf(pid).size(), windows);  // nothing to suggest, nor in the list
    // No byte of it is left in the files, after the day's deletion nor after a close that
    // clears; what is left behind is the user's alone.
    EXPECT_TRUE(waitFor([&] { return !kept(); }, 5000));
    setting("AutoDelete", "1");
    x.key("Escape");
    typeAddress(server.url("/beta"));
    ASSERT_TRUE(waitFor([&] { return kept(); }));
    x.click(points().caption(0));
    ASSERT_TRUE(waitFor([&] { return browser->state() == QProcess::NotRunning; }, 20000));
    EXPECT_FALSE(kept());
    QDirIterator it(session.folder.file("数据"),
                    QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo f(it.next());
        if (f.isSymLink()) continue;
        EXPECT_EQ(ModeOf(f.filePath()), f.isDir() ? 0700 : 0600) << f.filePath().toStdString();
    }
}

// A page's dialogs hold only their tab: a background tab's alert waits until its tab is in
// front, tabs are clicked meanwhile; a tab alerting in a loop closes with Ctrl+W, and
// "禁止此网页再显示对话框" quiets it.
TEST_P(InputE2E, APageDialogHoldsOnlyItsTab) {
    if (!GetParam()) GTEST_SKIP() << "once is enough, on a desktop with a window manager";
    const QString magenta = "<style>html,body{background:#ff00ff}</style><script>";
    server.page("/late", "Late", magenta + "setTimeout(()=>alert('late'),1500)</script>");
    server.page("/loop", "Loop", magenta + "setInterval(()=>alert('again'),1500)</script>");
    auto asking = [&] { return waitFor([&] { return magentaShare() < 0.6; }, 8000); };
    auto free = [&] { return waitFor([&] { return magentaShare() > 0.9; }, 8000); };
    launch({server.url("/magenta")}, server.url("/magenta"));
    x.key("ctrl+t");
    typeAddress(server.url("/late"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/late"), "Late"); }));
    x.key("ctrl+1");
    QTest::qWait(2500);  // asked behind
    EXPECT_TRUE(free());
    x.key("ctrl+2");
    EXPECT_TRUE(asking());
    x.click(points().firstTab());
    EXPECT_TRUE(free());
    x.key("ctrl+2");
    EXPECT_TRUE(asking());
    x.key("Return");
    EXPECT_TRUE(free());

    typeAddress(server.url("/loop"));
    ASSERT_TRUE(asking());
    x.key("ctrl+w");
    EXPECT_TRUE(waitFor([&] { return !session.hasPage(server.url("/loop")); }));
    EXPECT_TRUE(free());
    x.key("ctrl+t");
    typeAddress(server.url("/loop"));
    ASSERT_TRUE(asking());
    x.key("Return");
    ASSERT_TRUE(free());
    ASSERT_TRUE(asking());  // again, now with the box to quiet it
    for (const char *k : {"shift+Tab", "space", "Return"}) x.key(k);
    EXPECT_TRUE(free());
    QTest::qWait(1500);
    EXPECT_GT(magentaShare(), 0.9);
}

// Kills: the next start offers the tabs back in a bar, and a second kill with the bar unanswered
// keeps them for the third; 恢复 brings each back with its back history, the locked one locked,
// resting until it is clicked. Thirty tabs come back with one request.
TEST_P(InputE2E, AfterAKillTheTabsComeBackWithTheirHistoryAndLock) {
    if (!GetParam()) GTEST_SKIP() << "once is enough, on a desktop with a window manager";
    setting("PassWord", Base64Encode("pw"));
    server.page("/one", "One");
    server.page("/two", "Two");
    launch({server.url("/one")}, server.url("/one"));
    auto go = [&](const QString &path, const QString &title) {
        typeAddress(server.url(path));
        ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url(path), title); }));
    };
    go("/two", "Two");
    x.key("ctrl+t");
    QTest::qWait(500);
    go("/magenta", "Magenta");
    ASSERT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 10000));
    x.hold("F4");
    ASSERT_TRUE(waitFor([&] { return magentaShare() < 0.1; }, 5000));
    auto kill = [&] {
        QTest::qWait(2500);  // kept within two seconds
        browser->kill();
        browser->waitForFinished(5000);
    };
    // The bar under the tab strip, and its first button.
    auto restoreButton = [&] {
        const QColor bar(0xFF, 0xF4, 0xCE);
        QPoint restore;
        waitFor(
            [&] {
                const QImage shot = x.screenshot();
                const QRect f = frameRect();
                for (int y = f.top(); y < f.bottom() && restore.isNull(); ++y) {
                    if (ShareOfColour(shot, QRect(f.left() + 8, y, 3, 1), bar) < 1) continue;
                    int run = 0;  // the first stretch of 30 pixels that are not the bar's
                    for (int px = f.left() + 8; px < f.right() && restore.isNull(); ++px) {
                        run = ShareOfColour(shot, QRect(px, y + 12, 1, 1), bar) < 1 ? run + 1 : 0;
                        if (run == 30) restore = QPoint(px - 10, y + 12);
                    }
                }
                return !restore.isNull();
            },
            10000);
        return restore;
    };
    kill();
    launch({}, "file://");
    ASSERT_FALSE(restoreButton().isNull());
    kill();  // again, the offer unanswered

    launch({}, "file://");
    const QPoint restore = restoreButton();
    ASSERT_FALSE(restore.isNull());
    server.requests.clear();
    x.click(restore);
    // The first run's tabs and the second's start page in front; the others rest.
    QTest::qWait(1500);
    EXPECT_TRUE(server.requests.isEmpty()) << server.requests.join(' ').toStdString();
    EXPECT_FALSE(pageOpen(server.url("/")));
    x.key("ctrl+2");
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/magenta")); }));
    QTest::qWait(500);
    EXPECT_LT(magentaShare(), 0.1);  // in front, and locked
    x.key("ctrl+1");
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/two"), "Two"); }));
    x.key("alt+Left");
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/one"), "One"); }));
    x.key("alt+Right");
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/two"), "Two"); }));

    // One tab in memory: the others rest out of it; a click brings one back with its history.
    setting("TabsInMemory", "1");
    x.key("ctrl+3");
    x.key("ctrl+w");  // the second run's start page: /two's tab and the locked one are left
    QTest::qWait(500);
    x.key("ctrl+2");  // the locked page in front: the other tab leaves memory
    EXPECT_TRUE(waitFor([&] {
        return !session.hasPage(server.url("/two")) &&
               RenderersOf(browser->processId()).size() == 1;
    }));
    x.click(points().firstTab());
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/two"), "Two"); }));
    x.key("alt+Left");
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/one"), "One"); }));
    kill();

    // Thirty tabs: only the one in front is asked for, and has a page process, until another
    // is clicked.
    Session many;
    for (int i = 0; i < 30; ++i) {
        server.page(QString("/r%1").arg(i), QString("R%1").arg(i));
        many.tabs << SessionTab{server.url(QString("/r%1").arg(i)), QString("R%1").arg(i), {}};
    }
    many.active = 7;
    ASSERT_TRUE(WriteSessionFile(session.folder.file("数据/session.dat"), many, qVersion()));
    WriteBytes(session.folder.file("数据/session.running"), "1");
    launch({}, "file://");
    server.requests.clear();
    x.click(restoreButton());
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/r7"), "R7"); }));
    EXPECT_TRUE(waitFor([&] { return RenderersOf(browser->processId()).size() == 1; }));
    QTest::qWait(1500);
    EXPECT_EQ(server.requests.filter(QRegularExpression("^/r")), QStringList{"/r7"});
    x.click(points().firstTab());
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/r0"), "R0"); }));
    EXPECT_EQ(server.requests.filter(QRegularExpression("^/r")), (QStringList{"/r7", "/r0"}));
}

// Middle-button strokes: the trail while the button is held and gone after it, back to
// the last page, a new tab with its notice, a middle click on a link that opens nothing;
// the page takes a click at once; with gestures off the middle click opens the link.
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
    x.click(c, 2);  // a middle click on the link is a gesture, not a new tab
    QTest::qWait(1500);
    EXPECT_FALSE(session.hasPage(server.url("/third")));
    EXPECT_EQ(session.pages().size(), 2);
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
                "<a target=_blank href='/pop0' style='display:block;height:100vh'>_</a><script>"
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
    QTest::qWait(500);
    x.click(points().page());  // a click's own window opens
    EXPECT_TRUE(waitFor([&] { return opened().size() == 5; }, 15000));
}

// A kill just as a setting file is renamed into place leaves its temporary file behind;
// the next start clears it away, and the file itself is whole.
TEST_P(InputE2E, AKillAtTheRenameLeavesNothingForTheNextStart) {
    if (GetParam()) GTEST_SKIP() << "one desktop is enough";
    const QString config = session.folder.file("config.ini");
    const QByteArray before = ReadBytes(config);
    QProcess killed;
    QProcessEnvironment env = session.env();
    env.insert("LD_PRELOAD", KILL_AT_RENAME_LIBRARY);
    env.insert("OLUMETTA_KILL_AT_RENAME", config);
    killed.setProcessEnvironment(env);
    // Its output goes where the test's goes: an unread pipe could fill and stall its start.
    killed.setProcessChannelMode(QProcess::ForwardedChannels);
    killed.start(session.folder.binary(), {server.url("/typed")});
    ASSERT_FALSE(session.waitForFrame().isEmpty());
    ASSERT_TRUE(waitFor([&] { return pageOpen(server.url("/typed")); }, 40000));
    x.click(points().caption(0));  // close: the last page is written as it goes
    ASSERT_TRUE(waitFor([&] { return killed.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(killed.exitStatus(), QProcess::CrashExit);
    const QDir folder(session.folder.path());
    ASSERT_EQ(folder.entryList({"config.ini.*"}, QDir::Files).size(), 1);
    EXPECT_EQ(ReadBytes(config), before);
    launch({server.url("/handed")}, server.url("/handed"));
    EXPECT_TRUE(folder.entryList({"config.ini.*"}, QDir::Files).isEmpty());
    EXPECT_EQ(ReadBytes(config), before);
}

// A full disk: closing a tab, applying the settings and adding a bookmark each fail with
// their message and leave every file byte for byte, so the lock keeps its password; with
// room again the next change is written.
TEST_P(InputE2E, AFullDiskLosesNoFileAndTheNextChangeIsWritten) {
    if (!GetParam() || geteuid() != 0) GTEST_SKIP() << "root, with a window manager";
    const QString dir = session.folder.path();
    QTemporaryDir aside;
    const auto unmount = qScopeGuard([&] {
        TearDown();
        QProcess::execute("umount", {"-l", dir});
    });
    // The folder with 8 MiB to spare, whatever the program weighs (a sanitized one is large).
    ASSERT_EQ(QProcess::execute("sh", {"-c", QString("cp -a '%1'/. '%2' && mount -t tmpfs -o "
                                                     "size=$(($(du -sk '%2' | cut -f1) + 8192))k "
                                                     "tmpfs '%1' && cp -a '%2'/. '%1'")
                                                 .arg(dir, aside.path())}),
              0);
    setting("PassWord", Base64Encode("pw"));
    setting("OpenPass", "1");
    setting("Filter", "1");  // Apply writes it back as three digits
    launch({server.url("/magenta")}, server.url("/magenta"));
    x.type("pw");
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 10000));
    x.key("ctrl+t");
    QTest::qWait(2500);  // the session kept
    const QStringList files{"config.ini", "数据/session.dat"};
    QList<QByteArray> before;
    for (const QString &f : files) before << ReadBytes(session.folder.file(f));
    ASSERT_FALSE(before[1].isEmpty());
    QProcess::execute("dd", {"if=/dev/zero", "of=" + dir + "/fill", "bs=64k"});
    auto boxAnswered = [&] {
        if (!waitFor([&] { return !x.windows("^错误$").isEmpty(); }, 5000)) return false;
        x.key("Return");
        return waitFor([&] { return x.windows("^错误$").isEmpty(); }, 5000);
    };
    x.key("ctrl+w");
    x.key("ctrl+d");
    ASSERT_TRUE(waitFor([&] { return !x.windows("^添加书签$").isEmpty(); }, 5000));
    x.key("Return");
    EXPECT_TRUE(boxAnswered());
    EXPECT_FALSE(x.windows("^添加书签$").isEmpty());  // kept open to try again
    x.key("Escape");
    x.hold("F4");
    ASSERT_TRUE(waitFor([&] { return magentaShare() < 0.1; }, 5000));
    x.key("Return");  // an empty password
    QTest::qWait(500);
    EXPECT_LT(magentaShare(), 0.1);
    session.start({"config"})->waitForFinished(20000);
    ASSERT_TRUE(waitFor([&] { return !x.windows("^程序设置$").isEmpty(); }, 20000));
    QTest::qWait(500);
    x.type("pw");
    x.key("Return");
    x.key("alt+a");
    EXPECT_TRUE(boxAnswered());
    QTest::qWait(2500);
    for (int i = 0; i < files.size(); ++i)
        EXPECT_EQ(ReadBytes(session.folder.file(files[i])), before[i]) << i;
    EXPECT_EQ(QDir(dir + "/书签").entryList(QDir::Files), QStringList());
    EXPECT_TRUE(QDir(dir).entryList({"*.olw-*"}, QDir::Files).isEmpty());

    QFile::remove(dir + "/fill");
    x.key("alt+a");
    EXPECT_TRUE(waitFor([&] { return ReadBytes(dir + "/config.ini").contains("Filter=100"); }));
    x.key("Escape");
    x.key("ctrl+t");
    EXPECT_TRUE(waitFor([&] { return ReadBytes(dir + "/数据/session.dat") != before[1]; }));
}

// "添加到桌面" puts a launcher for the page on the desktop (its folder made when missing);
// the desktop's own launcher runs it, and the page opens in the running browser.
TEST_P(InputE2E, ADesktopShortcutOpensItsPageInTheRunningBrowser) {
    if (GetParam()) GTEST_SKIP() << "one desktop is enough";
    launch({server.url("/typed")}, server.url("/typed"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/typed"), "Typed page"); }));
    x.click(points().menuButton());
    QTest::qWait(700);
    for (const char *k : {"Down", "Down", "Down", "Right", "Down", "Down", "Down", "Down", "Down"})
        x.key(k);
    x.key("Return");
    const QString launcher = session.runtime.filePath("Desktop/Typed page.desktop");
    ASSERT_TRUE(waitFor([&] { return QFile::exists(launcher); }, 5000));
    EXPECT_TRUE(QFileInfo(launcher).permissions() & QFile::ExeOwner);
    QProcess gio;
    gio.setProcessEnvironment(session.env());
    gio.start("gio", {"launch", launcher});
    ASSERT_TRUE(gio.waitForFinished(15000));
    EXPECT_EQ(gio.exitCode(), 0) << gio.readAllStandardError().toStdString();
    EXPECT_TRUE(waitFor([&] { return session.pages().size() == 2; }, 15000));
    for (const auto &page : session.pages()) EXPECT_EQ(page.first, server.url("/typed"));
}

// Yes to the start-up question makes it the desktop's browser (xdg-utils says so for web
// addresses and pages); the desktop's addresses then come to the running browser, and
// the next start asks nothing.
TEST_P(InputE2E, BecomesTheDefaultBrowserAndTakesTheDesktopsAddresses) {
    if (GetParam()) GTEST_SKIP() << "one desktop is enough";
    setting("AutoSet", "1");
    browser = session.start({server.url("/typed")});
    ASSERT_TRUE(waitFor([&] { return !x.windows("^提示$").isEmpty(); }, 40000));
    QTest::qWait(300);
    x.key("Return");  // Yes
    auto query = [&](const QString &type) {
        QProcess p;
        p.setProcessEnvironment(session.env());
        p.start("xdg-mime", {"query", "default", type});
        p.waitForFinished(10000);
        return p.readAllStandardOutput().trimmed();
    };
    ASSERT_TRUE(
        waitFor([&] { return query("x-scheme-handler/http") == "olumetta.desktop"; }, 10000));
    EXPECT_EQ(query("x-scheme-handler/https"), "olumetta.desktop");
    EXPECT_EQ(query("text/html"), "olumetta.desktop");
    ASSERT_TRUE(waitFor([&] { return pageOpen(server.url("/typed")); }, 40000));
    QProcess open;
    open.setProcessEnvironment(session.env());
    open.start("xdg-open", {server.url("/handed")});
    open.waitForFinished(15000);
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/handed")); }, 20000));
    // A bookmark file has its own type now, and the desktop (GIO, as file managers use it)
    // opens it with us.
    server.page("/marked", "Marked");
    const QString bookmark = session.runtime.filePath("saved.zvb");
    ASSERT_EQ(WriteBookmarkFile(server.url("/marked"), bookmark), 0);
    QProcess info;
    info.setProcessEnvironment(session.env());
    info.start("gio", {"info", "--attributes=standard::content-type", bookmark});
    info.waitForFinished(10000);
    EXPECT_TRUE(info.readAllStandardOutput().contains("application/x-olumetta-bookmark"));
    QProcess gio;
    gio.setProcessEnvironment(session.env());
    gio.start("gio", {"open", bookmark});
    gio.waitForFinished(15000);
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/marked"), "Marked"); }, 20000));
    browser->kill();
    browser->waitForFinished(5000);
    launch({server.url("/typed")}, server.url("/typed"));
    QTest::qWait(1500);
    EXPECT_TRUE(x.windows("^提示$").isEmpty());
    // The entry starts another copy (this one was moved): it offers to register itself.
    const QString entry = session.runtime.filePath(".local/share/applications/olumetta.desktop");
    QByteArray text = ReadBytes(entry);
    ASSERT_TRUE(text.contains(session.folder.binary().toUtf8()));
    WriteBytes(entry, text.replace(session.folder.binary().toUtf8(), "/old/copy/olumetta"));
    browser->kill();
    browser->waitForFinished(5000);
    browser = session.start({server.url("/typed")});
    EXPECT_TRUE(waitFor([&] { return !x.windows("^提示$").isEmpty(); }, 40000));
}

// "config" opens the settings behind the password, also when handed to a running browser;
// with no password one key opens them, a wrong one leaves them shut, and Alt+A applies.
TEST_P(InputE2E, TheSettingsOpenBehindThePasswordAndAltAApplies) {
    auto stored = [&](const char *key) {
        return ReadIni("Setting", key, session.folder.file("config.ini"));
    };
    auto settingsShown = [&] { return !x.windows("^程序设置$").isEmpty(); };
    setting("Filter", "1");  // Apply writes it back as three digits
    // Saved by an editor as UTF-8 with the byte-order mark: read so, and kept so.
    const QString config = session.folder.file("config.ini");
    WriteBytes(config, "\xEF\xBB\xBF" + codepage::decode(ReadBytes(config)).toUtf8());
    browser = session.start({"config"});
    ASSERT_TRUE(waitFor(settingsShown, 40000));
    QTest::qWait(500);
    EXPECT_TRUE(x.windows("^抱歉$").isEmpty());  // the skin's name read right
    x.type("x");
    x.key("alt+a");
    EXPECT_TRUE(waitFor([&] { return stored("Filter") == "100"; }, 5000));
    EXPECT_TRUE(ReadBytes(config).startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(ReadBytes(config).contains(QString("Theme=默认.ini").toUtf8()));
    x.key("alt+o");
    ASSERT_TRUE(waitFor([&] { return !settingsShown(); }, 5000));
    EXPECT_TRUE(session.pages().isEmpty());  // "config" opens no tab

    setting("Filter", "1");
    setting("PassWord", Base64Encode("pw"));
    auto later = session.start({"config"});
    EXPECT_TRUE(later->waitForFinished(20000));
    ASSERT_TRUE(waitFor(settingsShown, 20000));
    QTest::qWait(500);
    x.type("wrong");
    x.key("Return");
    x.key("alt+a");
    QTest::qWait(1000);
    EXPECT_EQ(stored("Filter"), "1");
    EXPECT_TRUE(settingsShown());
    x.key("ctrl+a");
    x.type("pw");
    x.key("Return");
    x.key("alt+a");
    EXPECT_TRUE(waitFor([&] { return stored("Filter") == "100"; }, 5000));
    x.key("Escape");
    EXPECT_TRUE(waitFor([&] { return !settingsShown(); }, 5000));
    EXPECT_EQ(browser->state(), QProcess::Running);
}

// The skin chooser from the menu, by keys and clicks: each shipped skin reaches the tab
// strip and the open tab's navigation page; a broken one is refused and changes nothing.
TEST_P(InputE2E, TheSkinChooserSwitchesSkinsLiveAndSurvivesABrokenOne) {
    QByteArray broken = ReadBytes(session.folder.file("皮肤/默认.ini"));
    broken.replace("tb3=", "tbX=");
    WriteBytes(session.folder.file("皮肤/坏.ini"), broken);
    setting("OpenNav", "1");
    launch({}, "file://");
    auto choose = [&](int row) -> QString {  // rows: 坏, 暮色, 翠绿, 默认
        x.click(points().menuButton());
        QTest::qWait(800);  // a single click waits out a possible double-click
        for (const char *k : {"Down", "Down", "Down", "Down", "Right", "Down", "Down", "Down"})
            x.key(k);
        x.key("Return");
        QString chooser;
        EXPECT_TRUE(waitFor(
            [&] { return !(chooser = x.windows("^皮肤管理器$").value(0)).isEmpty(); }, 10000));
        QTest::qWait(300);
        // Relative to the window itself: a window manager's frame moves it.
        x.xdo({"mousemove", "--window", chooser, "40", QString::number(55 + 18 * row)});
        x.xdo({"click", "1"});
        x.key("Return");
        return chooser;
    };
    auto wears = [&](const QString &skin) {
        const QString file = session.folder.file("皮肤/" + skin);
        const QColor bar = ColourFromBgr(*BgrFromText(ReadIni("Color", "clrBar", file)));
        const QColor page = ColourFromBgr(*BgrFromText(ReadIni("Color", "clrBG", file)));
        const QImage shot = x.screenshot();
        const QPoint strip = points().emptyTabStrip();
        return ShareOfColour(shot, QRect(strip, QSize(20, 6)), TabStripFor(bar).strip) > 0.9 &&
               ShareOfColour(shot, points().pageArea(), page) > 0.3;
    };
    ASSERT_TRUE(waitFor([&] { return wears("默认.ini"); }, 10000));
    for (const auto &[row, skin] : {std::pair{1, "暮色.ini"}, {2, "翠绿.ini"}, {3, "默认.ini"}}) {
        choose(row);
        const char *name = skin;  // a lambda may not capture a structured binding (C++17)
        EXPECT_TRUE(waitFor([&] { return wears(name); }, 5000)) << skin;
        EXPECT_EQ(ReadIni("Theme", "Theme", session.folder.file("config.ini")), skin);
    }
    choose(1);
    ASSERT_TRUE(waitFor([&] { return wears("暮色.ini"); }, 5000));
    const QString chooser = choose(0);
    ASSERT_TRUE(waitFor([&] { return !x.windows("^抱歉$").isEmpty(); }, 5000));
    QTest::qWait(500);
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return x.windows("^抱歉$").isEmpty(); }, 5000));
    ASSERT_FALSE(x.windows("^皮肤管理器$").isEmpty());  // still open for another choice
    const QRect size = x.geometry(chooser);
    x.xdo({"mousemove", "--window", chooser, QString::number(size.width() - 50),
           QString::number(size.height() - 24)});
    x.xdo({"click", "1"});  // 取消
    EXPECT_TRUE(waitFor([&] { return x.windows("^皮肤管理器$").isEmpty(); }, 5000));
    EXPECT_EQ(browser->state(), QProcess::Running);
    EXPECT_TRUE(wears("暮色.ini"));
    EXPECT_EQ(ReadIni("Theme", "Theme", session.folder.file("config.ini")), "暮色.ini");
}

INSTANTIATE_TEST_SUITE_P(Desktops, InputE2E, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "openbox" : "bare"; });
