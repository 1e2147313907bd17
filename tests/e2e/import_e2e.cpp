// Switching from another browser, with real keys: its bookmarks and history come over.

#include "core/bookmarktree.h"
#include "support/browserfixtures.h"
#include "support/inpute2e.h"

// Chromium, a Firefox that runs and holds its database, and a bookmark file, through the
// dialog: then the 书签 menu opens an imported bookmark, the address box suggests an imported
// page by its title, a second import adds nothing, and the export reads back as the folder.
TEST_P(InputE2E, AnotherBrowsersBookmarksAndHistoryComeOverThroughTheDialog) {
    if (!GetParam()) GTEST_SKIP() << "once is enough, on a desktop with a window manager";
    server.page("/report", "Report");
    server.page("/kx7", "Imported Kx7 page");
    const QString home = session.runtime.path();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    MakeChromiumProfile(home,
                        QString(R"([{"type":"folder","name":"工作","children":[{"type":"url",)"
                                R"("name":"报表","url":"%1"}]}])")
                            .arg(server.url("/report")),
                        {{server.url("/kx7"), "Imported Kx7 page", now - 3600'000, true}});
    const QString places =
        MakeFirefoxProfile(home, {{"", "新闻", server.url("/typed")}, {"", "查询", "place:sort=8"}},
                           {{server.url("/typed"), "Typed page", now - 7200'000}});
    QProcess firefox;  // holds places.sqlite as a running Firefox does
    firefox.start("sqlite3", {places});
    ASSERT_TRUE(firefox.waitForStarted());
    firefox.write("PRAGMA locking_mode=EXCLUSIVE;\nBEGIN EXCLUSIVE;\nSELECT 'held';\n");
    ASSERT_TRUE(waitFor([&] { return firefox.readAllStandardOutput().contains("held"); }));
    const QString html = home + "/exported.html";
    WriteBytes(html,
               "<DL><p><DT><H3>外层</H3><DL><p><DT><H3>内层</H3><DL><p>"
               "<DT><A HREF=\"http://deep.example/\">深/处</A></DL><p></DL><p>"
               "<DT><A HREF=\"javascript:void(0)\">工具</A></DL><p>");
    const QString marks = session.folder.file("书签");

    launch({server.url("/magenta")}, server.url("/magenta"));
    auto bookmarksMenu = [&] {
        x.click(points().menuButton());
        QTest::qWait(700);
        for (const char *k : {"Down", "Right", "Up", "Right"}) x.key(k);  // 管理, 书签
    };
    auto importAll = [&] {
        bookmarksMenu();
        x.key("Return");
        ASSERT_TRUE(waitFor([&] { return !x.windows("^导入书签和历史记录$").isEmpty(); }, 10000));
        x.key("alt+h");
        ASSERT_TRUE(waitFor([&] { return !x.windows("^从 HTML 文件导入书签$").isEmpty(); }, 5000));
        QTest::qWait(500);
        x.type(html);
        x.key("Return");
        ASSERT_TRUE(waitFor([&] { return x.windows("^从 HTML 文件导入书签$").isEmpty(); }, 5000));
        x.key("alt+i");
        // The bookmark file comes last: once its bookmark is there, so is the rest.
        ASSERT_TRUE(waitFor(
            [&] { return QFile::exists(marks + "/导入/exported/外层/内层/深_处.zvb"); }, 30000));
        QTest::qWait(1500);
        // Escape stops an import still going; once it has ended, it closes the window.
        ASSERT_TRUE(waitFor(
            [&] {
                x.key("Escape");
                return waitFor([&] { return x.windows("^导入书签和历史记录$").isEmpty(); }, 1500);
            },
            30000));
    };
    importAll();
    EXPECT_EQ(ReadBookmarkFile(marks + "/导入/Firefox（default-release）/书签菜单/新闻.zvb"),
              server.url("/typed"));
    EXPECT_EQ(ReadBookmarkFile(marks + "/导入/exported/外层/内层/深_处.zvb"),
              "http://deep.example/");
    // 导入 > Chromium（Default） > 书签栏 > 工作 > 报表
    bookmarksMenu();
    for (const char *k : {"Up", "Right", "Right", "Right", "Right", "Return"}) x.key(k);
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/report"), "Report"); }));
    typeAddress("Kx7", false);
    QTest::qWait(800);
    x.key("Down");
    x.key("Return");
    EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/kx7"), "Imported Kx7 page"); }));

    const auto once = FilesUnder(marks);
    importAll();
    EXPECT_EQ(FilesUnder(marks), once);

    const QString out = home + "/out.html";
    bookmarksMenu();
    x.key("Down");
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return !x.windows("^导出书签$").isEmpty(); }, 5000));
    QTest::qWait(500);
    x.key("ctrl+a");
    x.type(out);
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return QFile::exists(out); }, 5000));
    QTemporaryDir back;
    for (const PlacedBookmark &b : Flatten(ParseBookmarkHtml(ReadBytes(out))))
        WriteImportedBookmark(back.path(), b);
    EXPECT_EQ(FilesUnder(back.path()), FilesUnder(marks));
    firefox.kill();
    firefox.waitForFinished();
}
