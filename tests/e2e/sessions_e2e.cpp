// Tabs that outlive the program: kills, a kill at the rename, and a full disk.
#include <signal.h>

#include "support/inpute2e.h"

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

    // Fifteen tabs: only the one in front is asked for, and has a page process, until another
    // is clicked; gone round twice, each is fetched once while memory lasts.
    setting("TabsInMemory", "");
    Session many;
    TestHttpServer::Response fresh;  // a page put away is fetched again: never from the cache
    fresh.headers = {{"Cache-Control", "no-store"}};
    for (int i = 0; i < 15; ++i) {
        fresh.body = QString("<title>R%1</title>").arg(i).toUtf8();
        server.route(QString("/r%1").arg(i), fresh);
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
    for (int i = 1; i <= 30; ++i) {
        x.key("ctrl+Tab");
        const QString at = QString::number(i % 15);
        ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/r" + at), "R" + at); }));
    }
    for (int i = 0; i < 15; ++i) EXPECT_EQ(server.requests.count(QString("/r%1").arg(i)), 1) << i;
    // The front tab's close button, drawn in red on its tab: a click closes it alone.
    const QImage shot = x.screenshot();
    QPoint close;
    for (int px = points().firstTab().x(); px < points().firstTab().x() + 300; ++px)
        if (const QColor c = shot.pixelColor(px, points().firstTab().y());
            c.red() > 200 && c.green() < 100)
            close = {px + 3, points().firstTab().y()};
    ASSERT_FALSE(close.isNull());
    x.click(close);
    EXPECT_TRUE(waitFor([&] { return !session.hasPage(server.url("/r0")); }));
    EXPECT_TRUE(session.hasPage(server.url("/r1"), "R1"));
}

// An end the system asks for (a logout's SIGTERM, a closed terminal's SIGHUP) is a close: the
// tabs are kept and nothing is offered at the next start. A tab still loading at a kill comes
// back with the address it was asked for.
TEST_P(InputE2E, AnEndAskedForIsACloseAndALoadingTabKeepsItsAddress) {
    if (GetParam()) GTEST_SKIP() << "one desktop is enough";
    const QString file = session.folder.file("数据/session.dat"),
                  mark = session.folder.file("数据/session.running");
    auto kept = [&] {
        QStringList urls;
        if (const auto s = ReadSessionFile(file, qVersion()))
            for (const SessionTab &t : s->tabs) urls << t.url;
        return urls;
    };
    for (const int signal : {SIGTERM, SIGHUP}) {
        launch({server.url("/typed")}, server.url("/typed"));
        QTest::qWait(2500);
        ::kill(pid_t(browser->processId()), signal);
        ASSERT_TRUE(browser->waitForFinished(20000)) << signal;
        EXPECT_EQ(browser->exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_FALSE(QFile::exists(mark)) << signal;
        EXPECT_EQ(kept(), QStringList{server.url("/typed")}) << signal;
    }
    TestHttpServer::Response slow;
    slow.delayMs = 60000;
    server.route("/slow", slow);
    browser = session.start({server.url("/slow")});
    ASSERT_TRUE(waitFor([&] { return server.requests.contains("/slow"); }, 40000));
    QTest::qWait(2500);  // kept within two seconds
    browser->kill();
    browser->waitForFinished(5000);
    EXPECT_TRUE(QFile::exists(mark));
    EXPECT_EQ(kept(), QStringList{server.url("/slow")});
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
