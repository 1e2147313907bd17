// Downloads over real HTTP: nginx for the files, our own server for the faults, and the
// update check through a proxy.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWebEnginePage>

#include "core/config.h"
#include "downloads/frmdownload.h"
#include "downloads/ucdownload.h"
#include "platform/qtwebview.h"
#include "services/updatecheck.h"
#include "shell/mdibrowser.h"
#include "support/httpserver.h"
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

TEST_F(DownloadsE2E, ThreeThousandBytesShowTheirFiguresAndOneNotice) {
    TestHttpServer::Response r;
    r.contentType = "application/octet-stream";
    r.body = pattern(3000);
    server.route("/3000.bin", r);
    ucDownload *t = fetch(server.url("/3000.bin"), "3000.bin");
    ASSERT_TRUE(waitFor([&] { return ended(t); }, 30000));
    EXPECT_EQ(t->Label2->text(), "已下载: 2.929688 KB   下载已完成");
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
    EXPECT_EQ(c->Label2->text(), "下载失败");
    EXPECT_EQ(QFile(dir.filePath("cut.bin")).size(), c->bytesWritten());
    EXPECT_LE(c->bytesWritten(), 50000);
    EXPECT_EQ(d->state(), ucDownload::State::Failed);
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.bin")));
    EXPECT_EQ(e->state(), ucDownload::State::Failed);
    EXPECT_EQ(platform.scripted.notices.size(), 2u);  // the two that completed
}

TEST_F(DownloadsE2E, StopBeforeTheAnswerAndAnUnwritableTarget) {
    TestHttpServer::Response slow;
    slow.body = pattern(5000);
    slow.delayMs = 1500;
    server.route("/slow", slow);
    ucDownload *t = fetch(server.url("/slow"), "slow.bin");
    ASSERT_TRUE(waitFor([&] { return server.requests.contains("/slow"); }, 10000));
    t->Stop();
    QTest::qWait(2500);
    EXPECT_EQ(t->state(), ucDownload::State::Stopped);
    EXPECT_FALSE(QFile::exists(dir.filePath("slow.bin")));
    EXPECT_TRUE(platform.scripted.notices.empty());

    TestHttpServer::Response ok;
    ok.body = pattern(2000);
    server.route("/ok", ok);
    manager.NewDownload(dir.filePath("no/such/dir/ok.bin"), server.url("/ok"));
    ucDownload *u = manager.tasks().last();
    ASSERT_TRUE(waitFor([&] { return ended(u); }, 30000));
    EXPECT_EQ(u->state(), ucDownload::State::Failed);
    EXPECT_TRUE(platform.scripted.notices.empty());
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

TEST(PageDownloadE2E, FilesOfferedByLinksAndScriptsBecomeTasks) {
    TestFolder folder;
    folder.useAsAppDir();
    WriteSetting("Unload", "0");
    TestHttpServer server;
    TestHttpServer::Response file;
    file.contentType = "application/octet-stream";
    file.headers = {{"Content-Disposition", "attachment; filename=\"data.bin\""}};
    file.body = QByteArray(5000, 'd');
    server.route("/get.php?id=data.bin", file);
    file.body = QByteArray(3000, 's');
    server.route("/script.bin", file);
    server.page("/page", "Downloads",
                "<a id=l href='/get.php?id=data.bin'>file</a>"
                "<script>function viaScript(){ location.href = '/script.bin'; }</script>");
    ScriptedPlatform platform;
    const QString first = folder.file("first.bin"), second = folder.file("second.bin");
    platform.scripted.files = {first, second};
    mdiBrowser f(platform, server.url("/page"));
    ASSERT_TRUE(f.Load());
    Form1 *t = f.ActiveForm();
    ASSERT_TRUE(waitFor([&] { return t->caption() == "Downloads"; }, 30000));
    auto *page = static_cast<QtWebView *>(t->brwWebBrowser)->page();
    page->runJavaScript("document.getElementById('l').click()");
    ASSERT_TRUE(waitFor([&] { return f.downloadManager()->tasks().size() == 1; }, 30000));
    page->runJavaScript("viaScript()");
    ASSERT_TRUE(waitFor([&] { return f.downloadManager()->tasks().size() == 2; }, 30000));
    EXPECT_EQ(platform.scripted.saveRequests.value(0), "下载文件另存为|所有文件|*.*|id=data.bin");
    EXPECT_EQ(platform.scripted.saveRequests.value(1), "下载文件另存为|所有文件|*.*|script.bin");
    ucDownload *a = f.downloadManager()->tasks().value(1),
               *b = f.downloadManager()->tasks().value(2);
    ASSERT_TRUE(waitFor([&] { return ended(a) && ended(b); }, 30000));
    EXPECT_EQ(ReadBytes(first), QByteArray(5000, 'd'));
    EXPECT_EQ(ReadBytes(second), QByteArray(3000, 's'));
    platform.scripted.answers = {Dialogs::AnswerYes};  // the manager's own question at close
    f.close();
}

TEST(PageDownloadE2E, ADownloadBehindALoginCarriesThePagesCookieAndAgent) {
    TestFolder folder;
    folder.useAsAppDir();
    WriteSetting("Unload", "0");
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
    Form1 *t = f.ActiveForm();
    ASSERT_TRUE(waitFor([&] { return t->caption() == "Logged in"; }, 30000));
    t->brwWebBrowser->Navigate(server.url("/members.bin"));
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
