// Downloads over real HTTP, one task at a time: nginx for the files, our own server for the
// pieces, the stalls and the faults.
#include <QDir>
#include <QElapsedTimer>

#include "support/downloade2e.h"
#include "support/nginx.h"
#include "support/wait.h"

TEST_F(DownloadsE2E, FilesFromNginxArriveIdentical) {
    Nginx nginx;
    ASSERT_TRUE(nginx.started());
    const QList<QPair<QString, qint64>> files{
        {"one.bin", 1}, {"block.bin", 1024}, {"mib.bin", 1 << 20}, {"big.bin", 200LL << 20}};
    for (const auto &[name, size] : files) writeRandomFile(nginx.root() + "/" + name, size);
    for (const auto &[name, size] : files) {
        ucDownload *t = fetch(nginx.url(name), name);
        ASSERT_TRUE(waitFor([&] { return ended(t); }, 120000)) << name.toStdString();
        EXPECT_EQ(t->state(), ucDownload::State::Completed) << name.toStdString();
        EXPECT_EQ(t->bytesWritten(), size);
        EXPECT_EQ(sha256(dir.filePath(name)), sha256(nginx.root() + "/" + name))
            << name.toStdString();
    }
    EXPECT_EQ(platform.scripted.notices.size(), size_t(files.size()));
}

// Whatever pieces the server sends, with or without a length, fast or in bursts, the
// transfer reads the reply to its end.
TEST_F(DownloadsE2E, EveryChunkSizeIsReadToTheEnd) {
    const qint64 size = 24 << 20;
    const QByteArray whole =
        QCryptographicHash::hash(TestHttpServer::Generated(0, size), QCryptographicHash::Sha256)
            .toHex();
    const QList<QPair<qint64, int>> cases{
        {8 << 10, 0}, {600 << 10, 0}, {1 << 20, 0}, {3 << 20, 0},
        {8 << 20, 0}, {1 << 20, 30},  {0, 0},       {0, 30}};  // chunk bytes (0: a length), pause
    QList<ucDownload *> tasks;
    for (int i = 0; i < cases.size(); ++i) {
        TestHttpServer::Response r;
        r.contentType = "application/octet-stream";
        r.generated = size;
        std::tie(r.chunkBytes, r.pauseMs) = cases[i];
        server.route(QString("/c%1").arg(i), r);
        tasks << fetch(server.url(QString("/c%1").arg(i)), QString("c%1.bin").arg(i));
    }
    platform.clock_.setSpeed(10);  // a transfer that stops fails in 6 s
    for (int i = 0; i < cases.size(); ++i) {
        ASSERT_TRUE(waitFor([&] { return ended(tasks[i]); }, 120000));
        EXPECT_EQ(tasks[i]->state(), ucDownload::State::Completed)
            << cases[i].first << " " << tasks[i]->task().progressText().toStdString();
        EXPECT_EQ(sha256(dir.filePath(QString("c%1.bin").arg(i))), whole) << cases[i].first;
    }
    platform.clock_.setSpeed(1);
}

TEST_F(DownloadsE2E, ThreeThousandBytesShowTheirFiguresAndOneNotice) {
    TestHttpServer::Response r;
    r.contentType = "application/octet-stream";
    r.body = pattern(3000);
    server.route("/3000.bin", r);
    ucDownload *t = fetch(server.url("/3000.bin"), "3000.bin");
    ASSERT_TRUE(waitFor([&] { return ended(t); }, 30000));
    EXPECT_EQ(t->task().progressText(), "已下载: 2.929688 KB   下载已完成");
    ASSERT_EQ(platform.scripted.notices.size(), 1u);
    EXPECT_EQ(platform.scripted.notices[0].title, "通知");
    QFile f(dir.filePath("3000.bin"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), r.body);
}

TEST_F(DownloadsE2E, FaultsEndInAClearStateAndNeverInAFalseCompletion) {
    TestHttpServer::Response noLength;
    noLength.body = pattern(70000);
    noLength.withLength = false;
    server.route("/nolength", noLength);
    TestHttpServer::Response empty;
    server.route("/empty", empty);
    TestHttpServer::Response cut;
    cut.body = pattern(100000);
    cut.cutAfter = 50000;
    server.route("/cut", cut);
    TestHttpServer::Response missing;
    missing.status = 404;
    missing.body = "<html>gone</html>";
    server.route("/missing", missing);

    ucDownload *a = fetch(server.url("/nolength"), "nolength.bin");
    ucDownload *b = fetch(server.url("/empty"), "empty.bin");
    ucDownload *c = fetch(server.url("/cut"), "cut.bin");
    ucDownload *d = fetch(server.url("/missing"), "missing.bin");
    ucDownload *e = fetch("http://127.0.0.1:9/dead", "dead.bin");
    ASSERT_TRUE(
        waitFor([&] { return ended(a) && ended(b) && ended(c) && ended(d) && ended(e); }, 30000));
    EXPECT_EQ(a->state(), ucDownload::State::Completed);
    EXPECT_EQ(QFile(dir.filePath("nolength.bin")).size(), 70000);
    EXPECT_EQ(b->state(), ucDownload::State::Completed);
    EXPECT_TRUE(QFile::exists(dir.filePath("empty.bin")));
    EXPECT_EQ(QFile(dir.filePath("empty.bin")).size(), 0);
    EXPECT_EQ(c->state(), ucDownload::State::Failed);
    // Each says why.
    EXPECT_EQ(c->task().progressText(), "下载失败：连接中断");
    EXPECT_EQ(d->task().progressText(), "下载失败：服务器错误 404");
    EXPECT_EQ(e->task().progressText(), "下载失败：服务器无响应");
    EXPECT_FALSE(QFile::exists(dir.filePath("cut.bin")));
    EXPECT_LE(c->bytesWritten(), 50000);
    EXPECT_EQ(d->state(), ucDownload::State::Failed);
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.bin")));
    EXPECT_EQ(e->state(), ucDownload::State::Failed);
    EXPECT_EQ(platform.scripted.notices.size(), 2u);  // the two that completed
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"empty.bin", "nolength.bin"}));
}

TEST_F(DownloadsE2E, StopBeforeTheFirstBlockAStalledServerAndAnUnwritableTarget) {
    // An older file under the name stays whole through a stop before any byte came.
    const QByteArray older = pattern(9999);
    QFile old(dir.filePath("slow.bin"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(older);
    old.close();
    TestHttpServer::Response slow;
    slow.body = pattern(5000);
    slow.delayMs = 1500;
    server.route("/slow", slow);
    ucDownload *t = fetch(server.url("/slow"), "slow.bin");
    ASSERT_TRUE(waitFor([&] { return server.requests.contains("/slow"); }, 10000));
    t->Stop();
    QTest::qWait(2500);
    EXPECT_EQ(t->state(), ucDownload::State::Stopped);
    EXPECT_EQ(sha256(dir.filePath("slow.bin")),
              QCryptographicHash::hash(older, QCryptographicHash::Sha256).toHex());
    EXPECT_TRUE(platform.scripted.notices.empty());

    // A server that sends part of the body and then nothing, for longer than the stall time.
    platform.clock_.setSpeed(40);  // the 60 s stall in 1.5 s
    TestHttpServer::Response stall;
    stall.body = pattern(100000);
    stall.stallAfter = 30000;
    server.route("/stall", stall);
    ucDownload *s = fetch(server.url("/stall"), "stall.bin");
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(waitFor([&] { return ended(s); }, 15000));
    platform.clock_.setSpeed(1);
    EXPECT_GE(clock.elapsed(), 1500);
    EXPECT_EQ(s->state(), ucDownload::State::Failed);
    EXPECT_EQ(s->task().progressText(), "下载失败：服务器无响应 (60 秒)");

    TestHttpServer::Response ok;
    ok.body = pattern(2000);
    server.route("/ok", ok);
    manager.NewDownload(dir.filePath("no/such/dir/ok.bin"), server.url("/ok"));
    ucDownload *u = manager.tasks().last();
    ASSERT_TRUE(waitFor([&] { return ended(u); }, 30000));
    EXPECT_EQ(u->state(), ucDownload::State::Failed);
    EXPECT_TRUE(platform.scripted.notices.empty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"slow.bin"});
}
