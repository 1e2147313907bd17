// The program on the desktop: bookmarks, desktop shortcuts, the default browser.
#include "support/inpute2e.h"

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
