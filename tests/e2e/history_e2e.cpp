// The history as a user's hands meet it: suggestions, the history window, forgetting and
// clearing, down to the file's bytes.
#include "support/inpute2e.h"

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
    const QString links = session.folder.file("数据/profile/Visited Links");
    EXPECT_TRUE(waitFor([&] { return QFileInfo(links).size() > 0; }));  // the engine's, 0600
    EXPECT_EQ(ModeOf(links), 0600);
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
