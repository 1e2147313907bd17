// Private tabs with real keys and clicks.
#include <QDirIterator>

#include "support/inpute2e.h"

// Ctrl+Shift+N, a page that sets a cookie, its download, Ctrl+W: then no byte of its address,
// title or cookie in the program folder's files. A normal tab never sees the cookie; a second
// private tab does.
TEST_P(InputE2E, APrivateTabLeavesNothingBehind) {
    if (!GetParam()) GTEST_SKIP() << "once is enough, on a desktop with a window manager";
    TestHttpServer::Response file;
    file.contentType = "application/octet-stream";
    file.headers = {{"Content-Disposition", "attachment; filename=hush.bin"}};
    file.body = QByteArray(5000, 'h');
    server.route("/hush.bin", file);
    server.page("/whisper-zq7", "Whisper-Kx93",
                "<script>document.cookie='hush=Ym42q8;max-age=99999'</script>"
                "<a href='/hush.bin' style='display:block;height:100vh'>f</a>");
    server.page("/peek", "Peek", "<script>document.title='Peek:'+document.cookie</script>");
    launch({server.url("/magenta")}, server.url("/magenta"));
    x.key("ctrl+shift+n");
    typeAddress(server.url("/whisper-zq7"));
    ASSERT_TRUE(
        waitFor([&] { return session.hasPage(server.url("/whisper-zq7"), "Whisper-Kx93"); }));
    x.click(points().page());
    ASSERT_TRUE(waitFor([&] { return !x.windows("^下载文件另存为$").isEmpty(); }, 15000));
    QTest::qWait(500);
    x.key("Return");
    const QString saved = session.runtime.path() + "/Downloads/hush.bin";
    EXPECT_TRUE(waitFor([&] { return QFileInfo(saved).size() == 5000; }, 15000));
    x.click(points().emptyTabStrip());  // the frame again, over the download manager
    x.key("ctrl+shift+n");
    typeAddress(server.url("/peek"));
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/peek"), "Peek:hush=Ym42q8"); }));
    x.key("ctrl+t");
    typeAddress(server.url("/peek"));
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/peek"), "Peek:"); }));
    for (int i = 0; i < 2; ++i) {  // both private tabs, second and third
        x.key("ctrl+2");
        x.key("ctrl+w");
        QTest::qWait(300);
    }
    ASSERT_TRUE(waitFor([&] {
        return !session.hasPage(server.url("/whisper-zq7")) &&
               !session.hasPage(server.url("/peek"), "Peek:hush=Ym42q8");
    }));
    QTest::qWait(2500);  // the session and the history written
    QStringList files = {"数据/history.sqlite", "数据/history.sqlite-wal", "数据/session.dat",
                         "config.ini"};
    for (QDirIterator it(session.folder.file("数据/profile"), QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        files << it.next();
    for (const QString &name : files) {
        QFile f(QFileInfo(name).isAbsolute() ? name : session.folder.file(name));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = f.readAll();
        for (const char *secret : {"whisper-zq7", "Whisper-Kx93", "Ym42q8"})
            EXPECT_FALSE(bytes.contains(secret)) << name.toStdString() << ": " << secret;
    }
}
