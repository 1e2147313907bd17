// With real keys and clicks: what a page offers, through the save dialog into the download
// folder, and the download manager's menus.
#include "support/inpute2e.h"

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
    // The engine's own download writes the task's partial file, under the engine's suffix.
    const QDir folder(session.runtime.path() + "/Downloads");
    auto writing = [&] {
        return folder.entryList(QDir::Files) == QStringList{"季度.bin.download"};
    };
    ASSERT_TRUE(waitFor(writing, 15000)) << folder.entryList().join(" ").toStdString();
    QStringList manager;
    ASSERT_TRUE(waitFor([&] { return !(manager = x.windows("^下载管理器$")).isEmpty(); }, 5000));
    QTest::qWait(500);
    const qint64 pid = browser->processId();
    const QRect m = x.geometry(manager.first());
    // The task's icon (暂停, 停止, then 删除文件), then the empty window under the task.
    const QList<std::tuple<QPoint, QString, QString, int>> clicks{
        {m.topLeft() + QPoint(20, 20), "^提示$", "^新建下载任务$", 3},
        {m.topLeft() + QPoint(20, m.height() - 30), "^新建下载任务$", "^提示$", 1}};
    for (const auto &click : clicks) {
        const auto &[at, wanted, unwanted, downs] = click;
        const QString shown = wanted;  // a lambda may not capture a structured binding (C++17)
        const QStringList before = x.windowsOf(pid);
        x.click(at, 3);
        QStringList menus;
        ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() > before.size(); }, 5000));
        QTest::qWait(500);
        for (const QString &w : x.windowsOf(pid))
            if (!before.contains(w)) menus << w;
        EXPECT_EQ(menus.size(), 1) << wanted.toStdString();
        for (int i = 0; i < downs; ++i) x.key("Down");
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
    // The failures are over (after the engine's own tries), and left nothing.
    whole.sort();
    QStringList onDisk;
    EXPECT_TRUE(waitFor(
        [&] { return (onDisk = folder.entryList(QDir::Files, QDir::Name)) == whole; }, 60000));
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
