// A page or its server asks, and the user answers as in another browser: a login, a bad
// certificate, a permission, a script's dialog; the whole screen and a page saved. Real keys
// and clicks through the X server into the real program, with a window manager.
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTcpServer>
#include <QTemporaryDir>

#include "support/habitse2e.h"

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
