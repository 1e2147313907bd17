// A download cut, paused or killed goes on from where it stopped: the task's own, the
// engine's for a page, and both through real keys and clicks.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "downloads/frmdownload.h"
#include "downloads/ucdownload.h"
#include "shell/mdibrowser.h"
#include "support/downloade2e.h"
#include "support/frameparts.h"
#include "support/httpserver.h"
#include "support/inpute2e.h"
#include "support/scriptedplatform.h"
#include "support/testfolder.h"
#include "support/wait.h"

// Cut, then resumed from a server that answers falsely or changed the file: each task ends in
// the whole file, byte for byte, or fails saying why; never "下载完成" on the wrong bytes.
TEST(ResumeE2E, AFalseOrChangedAnswerEndsInTheWholeFileOrSaysWhy) {
    ScriptedPlatform platform;
    frmDownload manager{platform};
    QTemporaryDir dir;
    TestHttpServer server;
    const qint64 size = 1 << 20;
    TestHttpServer::Response first;  // cut at 30 %: the task goes on by itself 2 s later
    first.generated = size;
    first.ranges = true;
    first.etag = "\"v1\"";
    first.cutAfter = size * 3 / 10;
    using R = TestHttpServer::Response;
    const QString whole = "，已重新开始   下载已完成", total = "服务器报告的文件大小不符";
    const QList<std::tuple<QString, std::function<void(R &)>, qint64, QString>> cases{
        {"start", [](R &r) { r.rangeSkew = 1000; }, size, "服务器返回的范围与请求不符" + whole},
        {"short", [](R &r) { r.totalSkew = -4288; }, size, total + whole},
        {"long", [](R &r) { r.totalSkew = 4288; }, size, total + whole},
        {"deaf", [](R &r) { r.ranges = false; }, size, "服务器不支持断点续传" + whole},
        {"changed", [](R &r) { r.etag = "\"v2\"", r.generated += 5000; }, size + 5000,
         "服务器上的文件已更改" + whole},
        {"bare", [](R &r) { r.etag.clear(), r.generated -= 5000; }, size - 5000, total + whole},
        {"twice", [&](R &r) { r.rangeSkew = 1000, r.cutAfter = size / 2; }, -1,
         "下载失败：服务器返回的范围与请求不符"},  // the whole asked for again is cut too
    };
    for (const auto &[name, change, bytes, said] : cases) {
        R then = first;
        then.cutAfter = -1;
        change(then);
        R r = first;
        if (then.etag.isEmpty()) r.etag.clear();  // a file the server names no version of
        server.route("/" + name, r);
        manager.NewDownload(dir.filePath(name), server.url("/" + name));
        const ucDownload *t = manager.tasks().last();
        ASSERT_TRUE(waitFor([&] { return t->state() == ucDownload::State::Interrupted; }));
        server.route("/" + name, then);  // what it is once the first answer was cut
    }
    for (int i = 0; i < cases.size(); ++i) {
        const auto &[name, change, bytes, said] = cases[i];
        const ucDownload *t = manager.tasks().value(i + 1);
        ASSERT_TRUE(waitFor([&] {
            return t->state() == ucDownload::State::Completed ||
                   t->state() == ucDownload::State::Failed;
        }));
        EXPECT_TRUE(t->task().progressText().endsWith(said)) << name.toStdString();
        if (bytes >= 0)
            EXPECT_EQ(ReadBytes(dir.filePath(name)), TestHttpServer::Generated(0, bytes));
        else
            EXPECT_FALSE(QFile::exists(dir.filePath(name)));
    }
    EXPECT_EQ(platform.scripted.notices.size(), 6u);  // only the whole files were announced
}

// A break is not the end: a cut at 30 % is resumed by itself with one ranged request from the
// cut, byte for byte; a pause and 继续 the same; a server that ignores the range starts again
// from nothing and says so.
TEST_F(DownloadsE2E, ABreakOrAPauseGoesOnFromWhereItStopped) {
    const qint64 size = 8 << 20;
    const QByteArray whole =
        QCryptographicHash::hash(TestHttpServer::Generated(0, size), QCryptographicHash::Sha256)
            .toHex();
    TestHttpServer::Response cut;
    cut.generated = size;
    cut.ranges = true;
    cut.etag = "\"v1\"";
    cut.cutAfter = size * 3 / 10;
    server.route("/cut", cut);
    TestHttpServer::Response deaf = cut;  // names its version, answers every range whole
    deaf.ranges = false;
    deaf.faultOnce = true;
    server.route("/deaf", deaf);
    TestHttpServer::Response slow = cut;
    slow.cutAfter = -1;
    slow.pauseMs = 30;
    server.route("/slow", slow);
    ucDownload *a = fetch(server.url("/cut"), "cut.bin");
    ucDownload *b = fetch(server.url("/deaf"), "deaf.bin");
    ucDownload *c = fetch(server.url("/slow"), "slow.bin");
    ASSERT_TRUE(waitFor([&] { return c->bytesWritten() > size / 4; }, 20000));
    c->control().Pause();
    const qint64 at = c->bytesWritten();
    QTest::qWait(500);
    EXPECT_EQ(c->state(), ucDownload::State::Paused);
    EXPECT_EQ(QDir(dir.path()).entryList({"slow.bin*.part"}, QDir::Files).size(), 1);
    EXPECT_EQ(c->bytesWritten(), at);
    c->control().Resume();
    ASSERT_TRUE(waitFor([&] { return ended(a) && ended(b) && ended(c); }, 30000));
    for (const char *name : {"cut.bin", "deaf.bin", "slow.bin"})
        EXPECT_EQ(sha256(dir.filePath(name)), whole) << name;
    // One ranged request each, from what the task had when it stopped: the pause's count, and
    // at most the cut (what was in flight when the connection closed may be lost).
    QMap<QString, qint64> from;
    for (const QByteArray &head : server.requestHeads) {
        const qsizetype r = head.indexOf("Range: bytes=");
        if (r >= 0 && head.contains("If-Range: \"v1\""))
            from.insert(QString(head.left(head.indexOf(' ', 4)).mid(4)),
                        head.mid(r + 13, head.indexOf('-', r + 13) - r - 13).toLongLong());
    }
    EXPECT_EQ(from.keys(), (QStringList{"/cut", "/deaf", "/slow"}));
    for (const char *cutOne : {"/cut", "/deaf"})
        EXPECT_TRUE(from.value(cutOne) > 0 && from.value(cutOne) <= size * 3 / 10) << cutOne;
    EXPECT_EQ(from.value("/slow"), at);
    EXPECT_TRUE(b->task().progressText().contains("服务器不支持断点续传，已重新开始"));
}

// A page's download is the engine's, under "<name>.download": cut at 30 % it goes on by itself
// with one ranged request from the cut; 暂停 holds it in the engine, 继续 lets it go on; one
// unfinished when the program closes comes back interrupted, and 继续 finishes it so too.
TEST(PageDownloadE2E, APagesDownloadPausesAndGoesOnAfterACutAndInTheNextRun) {
    TestFolder folder;
    folder.useAsAppDir();
    TestHttpServer server;
    TestHttpServer::Response slow;
    slow.contentType = "application/octet-stream";
    slow.generated = 8 << 20;
    slow.pauseMs = 40;
    slow.ranges = true;
    slow.etag = "\"v1\"";
    slow.cutAfter = slow.generated * 3 / 10;
    slow.faultOnce = true;
    server.route("/slow.bin", slow);
    slow.cutAfter = -1;
    slow.pauseMs = 250;  // 1 MiB/s: the rest outlasts what the network holds during a pause
    server.route("/next.bin", slow);
    TestHttpServer::Response plain = slow;  // no ranges: the next run's ranged request gets all
    plain.ranges = false;
    server.route("/plain.bin", plain);
    const QByteArray whole = TestHttpServer::Generated(0, slow.generated);
    ScriptedPlatform platform;
    QTemporaryDir chosen;
    platform.scripted.saveAs = [&](const QString &p) {
        return chosen.filePath(QFileInfo(p).fileName());
    };
    auto f = std::make_unique<mdiBrowser>(platform, server.url("/slow.bin"));
    ASSERT_TRUE(f->Load());
    ASSERT_TRUE(waitFor([&] { return f->downloadManager()->tasks().size() == 1; }, 30000));
    ucDownload *task = f->downloadManager()->tasks().first();
    ASSERT_TRUE(waitFor([&] { return task->bytesWritten() > (1 << 20); }, 30000));
    EXPECT_EQ(QDir(chosen.path()).entryList(QDir::Files), QStringList{"slow.bin.download"});
    ASSERT_TRUE(waitFor([&] { return ended(task); }, 60000));
    EXPECT_EQ(ReadBytes(chosen.filePath("slow.bin")), whole);
    const auto from = RangesAsked(server, "/slow.bin");
    ASSERT_EQ(from.size(), 1);
    EXPECT_LE(from[0], slow.generated * 3 / 10);

    frontOf(*f)->browser()->Navigate(server.url("/next.bin"));
    ASSERT_TRUE(waitFor([&] { return f->downloadManager()->tasks().size() == 2; }, 30000));
    task = f->downloadManager()->tasks().last();
    for (int pause : {1, 2}) {  // the second held up to the close
        ASSERT_TRUE(waitFor([&] { return task->bytesWritten() > (pause << 20); }, 30000));
        task->control().Pause();
        QTest::qWait(500);
        const qint64 held = task->bytesWritten();
        QTest::qWait(1000);
        EXPECT_EQ(task->bytesWritten(), held);
        if (pause == 1) task->control().Resume();
    }
    frontOf(*f)->browser()->Navigate(server.url("/plain.bin"));
    ASSERT_TRUE(waitFor([&] { return f->downloadManager()->tasks().size() == 3; }, 30000));
    ucDownload *plainTask = f->downloadManager()->tasks().last();
    ASSERT_TRUE(waitFor([&] { return plainTask->bytesWritten() > (1 << 20); }, 30000));
    platform.scripted.answers = {Dialogs::AnswerYes};  // the manager's own question at close
    f.reset();
    const qint64 held = QFileInfo(chosen.filePath("next.bin.part")).size();
    f = std::make_unique<mdiBrowser>(platform, server.url("/magenta"));
    ASSERT_TRUE(f->Load());
    // A page's download goes on with the rest only: a server that sends all again ends it.
    plainTask = f->downloadManager()->tasks().last();
    plainTask->control().Resume();
    ASSERT_TRUE(waitFor([&] { return ended(plainTask); }, 30000));
    EXPECT_EQ(plainTask->task().progressText(), "下载失败：服务器不支持断点续传");
    EXPECT_EQ(RangesAsked(server, "/plain.bin").size(), 1);
    task = f->downloadManager()->tasks().value(2);
    EXPECT_EQ(task->state(), ucDownload::State::Interrupted);
    task->control().Resume();
    ASSERT_TRUE(waitFor([&] { return ended(task); }, 60000));
    EXPECT_EQ(ReadBytes(chosen.filePath("next.bin")), whole);
    EXPECT_EQ(RangesAsked(server, "/next.bin"), QList<qint64>{held});
    EXPECT_EQ(QDir(chosen.path()).entryList(QDir::Files), (QStringList{"next.bin", "slow.bin"}));
}

// With the mouse on the task's link: 暂停 in a stalled download and 继续 finish it with a
// ranged request from where it stood; a kill -9 in the middle of one: the next start lists it
// interrupted, and 继续 finishes it the same way, byte for byte.
TEST_P(InputE2E, ADownloadGoesOnAfterAPauseAndAfterAKill) {
    if (!GetParam()) GTEST_SKIP() << "once is enough, on a desktop with a window manager";
    const qint64 size = 64 << 20, half = size / 2;
    TestHttpServer::Response big;
    big.generated = size;
    big.contentType = "application/octet-stream";
    big.ranges = true;
    big.etag = "\"v2\"";
    big.stallAfter = half;
    big.faultOnce = true;
    server.route("/big.bin", big);
    server.route("/big2.bin", big);
    server.route("/big3.bin", big);
    const QDir folder(session.runtime.path() + "/Downloads");
    QString manager;
    auto openManager = [&] {  // 页面 > 启动下载管理器
        x.click(points().menuButton());
        QTest::qWait(700);
        for (const char *k : {"Down", "Down", "Down", "Right", "Down", "Down", "Return"}) x.key(k);
        ASSERT_TRUE(
            waitFor([&] { return !(manager = x.windows("^下载管理器$").value(0)).isEmpty(); }));
        QTest::qWait(500);
    };
    auto clickLink = [&] {  // the first task's 暂停 / 继续
        x.xdo({"mousemove", "--window", manager, "294", "34"});
        x.xdo({"click", "1"});
    };
    auto download = [&](const QString &path) {  // 新建任务 in the manager's own menu
        const QRect m = x.geometry(manager);
        x.xdo({"mousemove", "--window", manager, QString::number(m.width() / 2),
               QString::number(m.height() - 10)});
        x.xdo({"click", "3"});
        QTest::qWait(500);
        x.key("Down");
        x.key("Return");
        ASSERT_TRUE(waitFor([&] { return !x.windows("^新建下载任务$").isEmpty(); }, 5000));
        QTest::qWait(300);
        x.type(server.url(path));
        x.key("Return");
        ASSERT_TRUE(waitFor([&] { return !x.windows("^下载文件另存为$").isEmpty(); }, 15000));
        QTest::qWait(500);
        x.key("Return");
    };
    // Halfway: the stall (what the network stack still holds of it aside).
    auto partAt = [&](const QString &name, const char *suffix = ".part") {
        return waitFor(
            [&] { return QFileInfo(folder.filePath(name + suffix)).size() > half - 65536; }, 30000);
    };
    auto partSize = [&](const QString &name, const char *suffix = ".part") {
        return QList<qint64>{QFileInfo(folder.filePath(name + suffix)).size()};
    };
    auto whole = [&](const QString &name) {
        if (!waitFor([&] { return QFileInfo(folder.filePath(name)).size() == size; }, 30000))
            return false;
        QFile f(folder.filePath(name));
        f.open(QIODevice::ReadOnly);
        for (qint64 at = 0; at < size; at += 1 << 22)
            if (f.read(1 << 22) != TestHttpServer::Generated(at, 1 << 22)) return false;
        return true;
    };

    launch({server.url("/magenta")}, server.url("/magenta"));
    openManager();
    download("/big.bin");
    ASSERT_TRUE(partAt("big.bin"));
    clickLink();  // 暂停
    QTest::qWait(700);
    const auto paused = partSize("big.bin");
    clickLink();  // 继续
    EXPECT_TRUE(whole("big.bin"));
    EXPECT_EQ(RangesAsked(server, "/big.bin"), paused);
    // The desktop has no program for it: said so, with the folder offered.
    while (waitFor([&] { return !x.windows("^通知$").isEmpty(); }, 1500)) {
        x.xdo({"windowactivate", "--sync", x.windows("^通知$").value(0)});
        x.key("Return");
    }
    x.xdo({"mousemove", "--window", manager, "24", "24"});
    x.xdo({"click", "--repeat", "2", "1"});
    EXPECT_TRUE(waitFor([&] { return !x.windows("^打开失败$").isEmpty(); }, 10000));
    EXPECT_TRUE(session.unopened().contains(folder.filePath("big.bin")));
    x.key("Escape");

    download("/big2.bin");
    ASSERT_TRUE(partAt("big2.bin"));
    // And a page's (the engine's, under its own suffix), from the address box.
    x.xdo({"windowactivate", "--sync", session.frameWindow()});
    typeAddress(server.url("/big3.bin"));
    ASSERT_TRUE(waitFor([&] { return !x.windows("^下载文件另存为$").isEmpty(); }, 15000));
    QTest::qWait(500);
    x.key("Return");
    ASSERT_TRUE(partAt("big3.bin", ".download"));
    QTest::qWait(500);  // their state in the list
    browser->kill();
    browser->waitForFinished(5000);
    const auto killed = partSize("big2.bin"), killed3 = partSize("big3.bin", ".download");
    launch({server.url("/magenta")}, server.url("/magenta"));
    openManager();
    // The list as it was: the finished one first, the interrupted ones after it.
    for (int line : {1, 2}) {
        x.xdo({"mousemove", "--window", manager, "294", QString::number(34 + 81 * line)});
        x.xdo({"click", "1"});  // its 继续
    }
    EXPECT_TRUE(whole("big2.bin"));
    EXPECT_EQ(RangesAsked(server, "/big2.bin"), killed);
    EXPECT_TRUE(whole("big3.bin"));
    EXPECT_EQ(RangesAsked(server, "/big3.bin"), killed3);
}
