// Downloads over real HTTP: nginx for the files, our own server for the faults, and the
// update check through a proxy.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWebEnginePage>

#include "core/programfolder.h"
#include "core/settings.h"
#include "downloads/frmdownload.h"
#include "downloads/ucdownload.h"
#include "platform/qtwebview.h"
#include "services/updatecheck.h"
#include "shell/mdibrowser.h"
#include "support/frameparts.h"
#include "support/httpserver.h"
#include "support/inpute2e.h"
#include "support/nginx.h"
#include "support/scriptedplatform.h"
#include "support/testfolder.h"
#include "support/wait.h"
#include "tab/form1.h"

namespace {

QByteArray sha256(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result().toHex();
}

void writeRandomFile(const QString &path, qint64 size) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QRandomGenerator gen{quint32(size)};
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 left = size; left > 0;) {
        const qint64 n = qMin<qint64>(left, block.size());
        gen.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        ASSERT_EQ(f.write(block.constData(), n), n);
        left -= n;
    }
}

// Where each ranged GET of the path asked to start.
QList<qint64> RangesAsked(const TestHttpServer &server, const QString &path) {
    QList<qint64> from;
    for (const QByteArray &head : server.requestHeads)
        if (head.startsWith("GET " + path.toUtf8() + ' ') && head.contains("Range: bytes="))
            from << head.mid(head.indexOf("Range: bytes=") + 13).split('-')[0].toLongLong();
    return from;
}

bool ended(const ucDownload *t) {
    const auto s = t->state();
    return s == ucDownload::State::Completed || s == ucDownload::State::Failed ||
           s == ucDownload::State::Stopped;
}

class DownloadsE2E : public ::testing::Test {
  protected:
    ucDownload *fetch(const QString &url, const QString &name) {
        const int before = manager.tasks().size();
        manager.NewDownload(dir.filePath(name), url);
        EXPECT_EQ(manager.tasks().size(), before + 1);
        return manager.tasks().last();
    }
    QByteArray pattern(int n) {
        QByteArray b(n, Qt::Uninitialized);
        for (int i = 0; i < n; ++i) b[i] = char(i * 13 + 1);
        return b;
    }
    ScriptedPlatform platform;
    frmDownload manager{platform};
    QTemporaryDir dir;
    TestHttpServer server;
};

}  // namespace

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

namespace {

// The update server, reached through http_proxy as a user's network would.
class UpdateE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.useAsAppDir();
        qputenv("http_proxy", QString("http://127.0.0.1:%1").arg(server.port()).toUtf8());
        qputenv("no_proxy", "");
    }
    void TearDown() override { qunsetenv("http_proxy"); }
    void publish(const QByteArray &page) {
        TestHttpServer::Response r;
        r.contentType = "text/plain";
        r.body = page;
        server.route(kVersionPath, r);
    }
    int check() {
        return CheckForUpdate(platform, nullptr, [this](const QString &path, const QString &url) {
            downloads << path + "|" + url;
        });
    }
    TestFolder folder;
    TestHttpServer server;
    ScriptedPlatform platform;
    QStringList downloads;
};

}  // namespace

TEST_F(UpdateE2E, TheVersionPageDecides) {
    publish("1,1,0,http://h/p.zip,2026-12-01,无\r\n");
    EXPECT_EQ(check(), 0);
    EXPECT_TRUE(platform.scripted.shown.empty());
    EXPECT_FALSE(QFile::exists(folder.file("ver")));
    EXPECT_TRUE(server.requestHeads.last().contains(kUpdateHost));

    publish("1,1,1,http://h/new.zip,2026-12-01,修复\r\n");
    platform.scripted.answers = {Dialogs::AnswerYes};
    EXPECT_EQ(check(), 1);
    ASSERT_EQ(platform.scripted.shown.size(), 1u);
    EXPECT_EQ(platform.scripted.shown[0].title, "新版本");
    EXPECT_TRUE(platform.scripted.shown[0].text.contains("程序版本: 1.1.0\r\n新版本: 1.1.1"));
    EXPECT_EQ(downloads, QStringList{AppDir() + "Orvex Lumetta.zip|http://h/new.zip"});

    publish("1,0,5,u,d,n");  // lower, whatever its revision
    EXPECT_EQ(check(), 0);
    publish("1,1");
    EXPECT_EQ(check(), -1);
    EXPECT_TRUE(QFile::exists(folder.file("ver")));  // left for a look after an error
    publish("1,2,0,u");
    EXPECT_EQ(check(), -1);
    EXPECT_EQ(platform.scripted.shown.size(), 1u);  // no question for a broken page
}

TEST_F(UpdateE2E, AnUnreachableServerIsAnError) {
    qputenv("http_proxy", "http://127.0.0.1:9");
    QFile::remove(folder.file("ver"));
    EXPECT_EQ(check(), -1);
    publish("2,0,0,u,d,n");
    qputenv("http_proxy", "http://127.0.0.1:9");
    EXPECT_EQ(check(), -1);  // a stale page is never taken for a fresh one
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

// Links, a form's post and a script's blob, each under the name the server (or the
// page) meant, into the folder the user chose and nowhere else.
TEST(PageDownloadE2E, EveryKindOfDownloadArrivesUnderTheServersName) {
    TestFolder folder;
    folder.useAsAppDir();
    settings::Write(settings::Key::Unload, "0");
    TestHttpServer server;
    QMap<QString, QByteArray> expected;  // file name -> body
    auto file = [&](const QString &path, const QByteArray &disposition, const QString &name,
                    const QByteArray &method = {}) {
        TestHttpServer::Response r;
        r.contentType = "application/octet-stream";
        if (!disposition.isEmpty()) r.headers = {{"Content-Disposition", disposition}};
        r.body = (name.toUtf8() + " ").repeated(400);
        r.method = method;
        server.route(path, r);
        expected.insert(name, r.body);
    };
    file("/get.php?id=data.bin", "attachment; filename=\"data.bin\"", "data.bin");
    file("/utf8", "attachment; filename*=UTF-8''%E6%9C%88%E6%8A%A5%202026.csv", "月报 2026.csv");
    file("/escape", "attachment; filename=\"../../escape.sh\"", "escape.sh");
    file("/script.bin", {}, "script.bin");
    file("/export", "attachment; filename=\"export.csv\"", "export.csv", "POST");
    TestHttpServer::Response cut;  // a form's answer cut short
    cut.contentType = "application/octet-stream";
    cut.headers = {{"Content-Disposition", "attachment; filename=\"cut.csv\""}};
    cut.body = QByteArray(200000, 'c');
    cut.stallAfter = 70000;
    cut.closeAfterMs = 1000;
    cut.method = "POST";
    server.route("/cut", cut);
    const QByteArray blob = QByteArray("made by script ").repeated(200);
    expected.insert("made by script.txt", blob);
    server.page("/page", "Downloads",
                "<a id=link href='/get.php?id=data.bin'>a</a> <a id=utf8 href='/utf8'>b</a>"
                "<a id=escape href='/escape'>c</a>"
                "<form id=form method=post action='/export'><input name=q value=7></form>"
                "<form id=cut method=post action='/cut'></form>"
                "<script>function viaScript(){ location.href = '/script.bin'; }"
                "function viaBlob(){ const a = document.createElement('a');"
                "a.href = URL.createObjectURL(new Blob(['" +
                    QString::fromLatin1(blob) +
                    "'])); a.download = 'made by script.txt';"
                    "document.body.appendChild(a); a.click(); }</script>");
    ScriptedPlatform platform;
    QTemporaryDir chosen;
    platform.scripted.saveAs = [&](const QString &proposed) {
        return chosen.filePath(QFileInfo(proposed).fileName());
    };
    mdiBrowser f(platform, server.url("/page"));
    ASSERT_TRUE(f.Load());
    Form1 *t = frontOf(f);
    QStringList status;
    QObject::connect(t, &Form1::StatusTextChanged, [&](const QString &s) { status << s; });
    ASSERT_TRUE(waitFor([&] { return t->caption() == "Downloads"; }, 30000));
    auto *page = static_cast<QtWebView *>(t->browser())->page();
    const QStringList triggers{
        "document.getElementById('link').click()",   "document.getElementById('utf8').click()",
        "document.getElementById('escape').click()", "viaScript()",
        "document.getElementById('form').submit()",  "viaBlob()"};
    for (int i = 0; i < triggers.size(); ++i) {
        page->runJavaScript(triggers[i]);
        ASSERT_TRUE(waitFor([&] { return f.downloadManager()->tasks().size() == i + 1; }, 30000))
            << triggers[i].toStdString();
    }
    QStringList proposed;
    for (const QString &r : platform.scripted.saveRequests) proposed << QFileInfo(r).fileName();
    EXPECT_EQ(proposed, (QStringList{"data.bin", "月报 2026.csv", "escape.sh", "script.bin",
                                     "export.csv", "made by script.txt"}));
    for (ucDownload *task : f.downloadManager()->tasks()) {
        ASSERT_TRUE(waitFor([&] { return ended(task); }, 30000));
        EXPECT_EQ(task->state(), ucDownload::State::Completed) << task->targetPath().toStdString();
    }
    QStringList names = expected.keys(), onDisk = QDir(chosen.path()).entryList(QDir::Files);
    names.sort();
    onDisk.sort();
    EXPECT_EQ(onDisk, names);
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(sha256(chosen.filePath(it.key())),
                  QCryptographicHash::hash(it.value(), QCryptographicHash::Sha256).toHex())
            << it.key().toStdString();
    EXPECT_FALSE(QFile::exists(QFileInfo(chosen.path()).dir().filePath("escape.sh")));
    // One request each: the engine's own, never fetched again (a one-time link arrives).
    for (const char *path : {"/get.php?id=data.bin", "/utf8", "/escape", "/script.bin", "/export"})
        EXPECT_EQ(server.requests.count(path), 1) << path;
    EXPECT_TRUE(server.requestHeads.last().startsWith("POST /export"));
    EXPECT_EQ(server.requestBodies.last(), "q=7");
    EXPECT_FALSE(status.contains("无法打开网页")) << status.join(" | ").toStdString();

    // The engine's fetch cut short fails and leaves nothing, as the task's own would; the
    // engine's own attempt to resume it is neither a task nor a question.
    platform.clock_.setSpeed(20);  // the 60 s stall in 3 s
    page->runJavaScript("document.getElementById('cut').submit()");
    ASSERT_TRUE(waitFor([&] { return f.downloadManager()->tasks().size() == 7; }, 30000));
    ASSERT_TRUE(waitFor(
        [&] {
            const auto tasks = f.downloadManager()->tasks().values();
            return std::all_of(tasks.begin(), tasks.end(), ended);
        },
        30000));
    platform.clock_.setSpeed(1);
    EXPECT_EQ(f.downloadManager()->tasks().last()->state(), ucDownload::State::Failed);
    QTest::qWait(3000);
    EXPECT_EQ(f.downloadManager()->tasks().size(), 7);
    EXPECT_EQ(platform.scripted.saveRequests.size(), 7u);
    onDisk = QDir(chosen.path()).entryList(QDir::Files);
    onDisk.sort();
    EXPECT_EQ(onDisk, names);

    // With the built-in manager off the engine saves it, where the user said.
    settings::Write(settings::Key::AutoDownload, "0");
    platform.scripted.saveAs = [&](const QString &) { return chosen.filePath("own.bin"); };
    page->runJavaScript("document.getElementById('link').click()");
    ASSERT_TRUE(
        waitFor([&] { return status.contains("下载完成: " + chosen.filePath("own.bin")); }, 30000))
        << status.join(" | ").toStdString();
    EXPECT_EQ(ReadBytes(chosen.filePath("own.bin")), expected.value("data.bin"));
    EXPECT_EQ(QDir(chosen.path()).entryList(QDir::Files).size(), names.size() + 1);
    platform.scripted.answers = {Dialogs::AnswerYes};  // the manager's own question at close
    f.close();
}

TEST(PageDownloadE2E, ADownloadBehindALoginCarriesThePagesCookieAndAgent) {
    TestFolder folder;
    folder.useAsAppDir();
    settings::Write(settings::Key::Unload, "0");
    TestHttpServer server;
    TestHttpServer::Response login;
    login.body = "<html><head><title>Logged in</title></head><body>ok</body></html>";
    login.headers = {{"Set-Cookie", "session=s3cr3t; Path=/"}};
    server.route("/login", login);
    TestHttpServer::Response file;
    file.contentType = "application/octet-stream";
    file.headers = {{"Content-Disposition", "attachment"}};
    file.body = QByteArray(4000, 'm');
    file.requireCookie = "session=s3cr3t";
    server.route("/members.bin", file);
    ScriptedPlatform platform;
    const QString target = folder.file("members.bin");
    platform.scripted.files = {target};
    mdiBrowser f(platform, server.url("/login"));
    ASSERT_TRUE(f.Load());
    Form1 *t = frontOf(f);
    ASSERT_TRUE(waitFor([&] { return t->caption() == "Logged in"; }, 30000));
    t->browser()->Navigate(server.url("/members.bin"));
    ASSERT_TRUE(waitFor([&] { return f.downloadManager()->tasks().size() == 1; }, 30000));
    ucDownload *task = f.downloadManager()->tasks().value(1);
    ASSERT_TRUE(waitFor([&] { return ended(task); }, 30000));
    EXPECT_EQ(task->state(), ucDownload::State::Completed);
    EXPECT_EQ(ReadBytes(target), file.body);
    EXPECT_TRUE(server.requestHeads.last().contains("QtWebEngine"))
        << server.requestHeads.last().toStdString();
    platform.scripted.answers = {Dialogs::AnswerYes};
    f.close();
}

// With real keys and clicks: what a page offers, into the download folder.
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
