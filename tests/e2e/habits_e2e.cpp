// What a user of another browser does without thinking: keys, find, Ctrl+click, the tab's
// icon, a page whose process dies, a login, a bad certificate, a page asking for a
// permission. Real keys and clicks through the X server into the real program, with a
// window manager, on pages of a loopback server.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "support/browsersession.h"
#include "support/httpserver.h"
#include "support/wait.h"
#include "support/xsession.h"

namespace {

const QColor kMagenta(255, 0, 255), kCyan(0, 255, 255), kRed(255, 0, 0);

QString coloured(const QColor &c) {
    return QString("<style>html,body{background:%1;height:100%;margin:0}</style>").arg(c.name());
}

class HabitsE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x.ready()) << x.error().toStdString();
        server.page("/magenta", "Magenta", coloured(kMagenta));
        server.page("/cyan", "Cyan", coloured(kCyan));
        server.page("/typed", "Typed", coloured(kMagenta));
    }
    void TearDown() override {
        if (browser && browser->state() != QProcess::NotRunning) {
            browser->kill();
            browser->waitForFinished(5000);
        }
    }
    void launch(const QString &url, const QProcessEnvironment &extra = {}) {
        QProcessEnvironment env = session.env();
        env.insert(extra);
        browser = std::make_unique<QProcess>();
        browser->setProcessEnvironment(env);
        browser->setProgram(session.folder.binary());
        browser->setArguments({url});
        browser->setWorkingDirectory(session.folder.path());
        browser->start();
        ASSERT_FALSE(session.waitForFrame().isEmpty());
        ASSERT_TRUE(waitFor([&] { return open(url); }, 40000)) << url.toStdString();
        QTest::qWait(500);
    }
    bool open(const QString &urlStart) const {
        for (const auto &p : session.pages())
            if (p.first.startsWith(urlStart)) return true;
        return false;
    }
    bool titled(const QString &title) const {
        for (const auto &p : session.pages())
            if (p.second == title) return true;
        return false;
    }
    ChromePoints points() const { return ChromePoints(session.frameRect()); }
    double share(const QColor &c) const {
        return ShareOfColour(x.screenshot(), points().pageArea(), c);
    }

    XSession x{true};
    BrowserSession session{&x};
    TestHttpServer server;
    std::unique_ptr<QProcess> browser;
};

}  // namespace

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

// Basic authentication asks over the page and logs in.
// A page's question holds its own tab only: with a prompt open in one tab, an address typed
// into another is fetched and drawn and a page's download goes on; the same with a login,
// which asks again after a wrong password and lets in with the right one.
TEST_F(HabitsE2E, AQuestionOrALoginHoldsOnlyItsOwnTab) {
    TestHttpServer::Response secret, file;
    secret.body = "<title>Inside</title>inside";
    secret.requireLogin = "ann:s3cret";
    server.route("/secret", secret);
    file.contentType = "application/octet-stream";
    file.headers = {{"Content-Disposition", "attachment; filename=slow.bin"}};
    file.generated = 64 << 20;
    file.chunkBytes = 16 << 10;
    file.pauseMs = 100;
    server.route("/file", file);
    server.page("/links", "Links", "<a href='/file' style='display:block;height:100vh'>f</a>");
    server.page(
        "/ask", "Ask",
        coloured(kMagenta) + "<script>onclick=()=>document.title=prompt('名字','x')</script>");
    launch(server.url("/links"));
    x.click(points().page());
    ASSERT_TRUE(waitFor([&] { return !x.windows("^下载文件另存为$").isEmpty(); }, 15000));
    QTest::qWait(500);
    x.key("Return");
    QString manager;
    ASSERT_TRUE(waitFor([&] { return !(manager = x.windows("^下载管理器$").value(0)).isEmpty(); }));
    auto typeInto = [&](const QString &path) {
        x.xdo({"windowactivate", "--sync", session.frameWindow()});  // over the manager
        x.click(points().addressBox());
        x.key("ctrl+a");
        x.type(server.url(path));
        x.key("Return");
    };
    auto dimmed = [&](const QColor &page) {
        const QColor dim(page.red() * 185 / 255, page.green() * 185 / 255, page.blue() * 185 / 255);
        return waitFor([&] { return share(dim) > 0.3; }, 10000);
    };
    // While the tab behind asks, the front tab's typed page arrives and the download's line moves.
    auto othersGoOn = [&](const QString &path, const QColor &colour) {
        x.key("ctrl+t");
        typeInto(path);
        EXPECT_TRUE(waitFor([&] { return share(colour) > 0.9; }, 15000)) << path.toStdString();
        EXPECT_TRUE(server.requests.contains(path));
        x.xdo({"windowactivate", "--sync", manager});
        const QRect m = x.geometry(manager);
        const QImage before = x.screenshot().copy(m);
        EXPECT_TRUE(waitFor([&] { return x.screenshot().copy(m) != before; }, 5000));
        x.xdo({"windowactivate", "--sync", session.frameWindow()});
        x.click(points().firstTab());
    };
    typeInto("/ask");
    ASSERT_TRUE(waitFor([&] { return share(kMagenta) > 0.9; }, 20000));  // drawn: clickable
    x.click(points().page());
    ASSERT_TRUE(dimmed(kMagenta));
    othersGoOn("/cyan", kCyan);
    ASSERT_TRUE(dimmed(kMagenta));  // still asking
    x.type("abc");  // after the default, where the keyboard was left in the question
    x.key("Return");
    EXPECT_TRUE(waitFor([&] { return titled("xabc"); }, 10000));

    typeInto("/secret");
    ASSERT_TRUE(dimmed(Qt::white));
    othersGoOn("/typed", kMagenta);
    for (const char *password : {"wrong", "s3cret"}) {
        ASSERT_TRUE(dimmed(Qt::white)) << password;
        x.type("ann");
        x.key("Tab");
        x.type(password);
        x.key("Return");
        QTest::qWait(1500);
    }
    EXPECT_TRUE(waitFor([&] { return titled("Inside"); }, 20000));
}

// A self-signed server: refused by default, then opened on the user's explicit word.
TEST_F(HabitsE2E, ABadCertificateIsRefusedUntilTheUserGoesOn) {
    QTemporaryDir dir;
    const QString key = dir.filePath("key.pem"), cert = dir.filePath("cert.pem");
    ASSERT_EQ(
        QProcess::execute("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                                      key, "-out", cert, "-days", "2", "-subj", "/CN=127.0.0.1"}),
        0);
    QFile(dir.filePath("index.html")).open(QIODevice::WriteOnly);
    {
        QFile page(dir.filePath("index.html"));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<title>Secure</title>" + coloured(kMagenta).toUtf8());
    }
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess https;
    https.setWorkingDirectory(dir.path());
    https.start(
        "python3",
        {"-c", QString("import http.server,ssl;s=http.server.HTTPServer(('127.0.0.1',%1),"
                       "http.server.SimpleHTTPRequestHandler);c=ssl.SSLContext(ssl.PROTOCOL_"
                       "TLS_SERVER);c.load_cert_chain('%2','%3');s.socket=c.wrap_socket("
                       "s.socket,server_side=True);s.serve_forever()")
                   .arg(port)
                   .arg(cert, key)});
    ASSERT_TRUE(https.waitForStarted());
    QTest::qWait(800);
    launch(server.url("/cyan"));
    x.key("ctrl+l");
    x.type(QString("https://127.0.0.1:%1/index.html").arg(port));
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return share(QColor(0xf4, 0xf6, 0xf9)) > 0.5; }, 20000));
    EXPECT_FALSE(titled("Secure"));
    x.key("Tab");  // from 返回 to 继续前往（不安全）
    x.key("space");
    EXPECT_TRUE(waitFor([&] { return titled("Secure") && share(kMagenta) > 0.9; }, 20000));
    https.kill();
    https.waitForFinished();
}

// A page asking to show notifications and for its place at once gets the bar for each in
// turn; 允许 answers one, and the page hears so, not a denial made for the user.
TEST_F(HabitsE2E, APermissionBarAsksAndThePageHearsTheAnswer) {
    server.page("/ask", "Ask",
                coloured(kCyan) +
                    "<script>onclick=()=>{Notification.requestPermission().then("
                    "p=>document.title=p);navigator.geolocation.getCurrentPosition("
                    "()=>{},()=>{})}</script>");
    launch(server.url("/ask"));
    x.click(points().page());
    const QColor bar(0xff, 0xf6, 0xd6);
    const int barY = points().firstTab().y() + 32;  // the bar lies right under the tab strip
    auto barShown = [&] {
        return ShareOfColour(x.screenshot(), QRect(points().page().x(), barY - 5, 150, 10), bar) >
               0.5;
    };
    ASSERT_TRUE(waitFor(barShown, 10000));
    QTest::qWait(1000);  // the second question is in
    EXPECT_FALSE(titled("granted"));
    EXPECT_FALSE(titled("denied"));
    const QPoint allow(session.frameRect().right() - 220, barY);
    x.click(allow);
    EXPECT_TRUE(waitFor([&] { return titled("granted"); }, 5000));
    QTest::qWait(500);
    ASSERT_TRUE(barShown());  // the place's turn
    x.click(allow);
    EXPECT_TRUE(waitFor([&] { return !barShown(); }, 5000));
    // Asked again in this session, the site has its answers without a bar.
    x.key("F5");
    ASSERT_TRUE(waitFor([&] { return titled("Ask"); }, 10000));
    QTest::qWait(1000);  // the reloaded page's script listens once it has run
    x.click(points().page());
    EXPECT_TRUE(waitFor([&] { return titled("granted"); }, 5000));
    EXPECT_FALSE(barShown());
}

// A page's alert comes over its page and goes with Return; F11 takes the whole screen and
// gives it back, and so does Escape with the page locked; Ctrl+S saves the page as one file
// in the download folder.
TEST_F(HabitsE2E, ScriptDialogsFullScreenAndSavingThePage) {
    server.page("/alert", "Alert", coloured(kCyan) + "<script>onclick=()=>alert('你好')</script>");
    server.page("/full", "Full",
                coloured(kCyan) +
                    "<script>onclick=()=>document.documentElement.requestFullscreen();"
                    "onresize=()=>document.title=document.fullscreenElement?"
                    "'full':'Full'</script>");
    launch(server.url("/alert"));
    x.click(points().page());
    ASSERT_TRUE(waitFor([&] { return share(kCyan) < 0.6; }, 10000));  // over the page, dimmed
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return share(kCyan) > 0.9; }, 5000));

    const QRect before = session.frameRect();
    x.key("F11");
    EXPECT_TRUE(waitFor([&] { return session.frameRect().size() == QSize(1280, 800); }, 5000));
    x.key("F11");
    EXPECT_TRUE(waitFor([&] { return session.frameRect() == before; }, 5000));
    // A page's own full-screen button: the page alone over the screen; Escape gives back
    // the frame where it was.
    x.key("ctrl+l");
    x.type(server.url("/full"));
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return titled("Full"); }, 20000));
    QTest::qWait(500);
    x.click(points().page());
    ASSERT_TRUE(waitFor([&] { return session.frameRect().size() == QSize(1280, 800); }, 5000));
    EXPECT_TRUE(waitFor([&] { return titled("full"); }, 5000));  // the page has the screen
    QTest::qWait(300);
    EXPECT_GT(ShareOfColour(x.screenshot(), QRect(0, 0, 1280, 20), kCyan), 0.9);  // no toolbar
    x.hold("F4");  // locked over the whole screen: Escape still leaves it
    EXPECT_TRUE(waitFor([&] { return share(kCyan) < 0.1; }, 5000));
    x.key("Escape");
    EXPECT_TRUE(waitFor([&] { return session.frameRect() == before; }, 5000));
    x.key("Return");  // the password, empty as set
    EXPECT_TRUE(waitFor([&] { return share(kCyan) > 0.9; }, 5000));

    x.key("ctrl+s");
    ASSERT_TRUE(waitFor([&] { return !x.windows("^下载文件另存为$").isEmpty(); }, 10000));
    QTest::qWait(500);
    x.key("Return");  // the proposed name, in the download folder
    const QString saved = session.runtime.path() + "/Downloads/Full.mhtml";
    ASSERT_TRUE(waitFor([&] { return QFileInfo(saved).size() > 0; }, 15000));
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("MIME-Version"));
}
