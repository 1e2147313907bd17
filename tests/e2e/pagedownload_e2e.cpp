// A page's downloads over real HTTP, through the real engine: every way a page offers a file,
// each under the name it was meant to have, and one behind a login.
#include <QDir>
#include <QFileInfo>
#include <QWebEnginePage>

#include "core/settings.h"
#include "platform/qtwebview.h"
#include "shell/mdibrowser.h"
#include "support/downloade2e.h"
#include "support/frameparts.h"
#include "support/testfolder.h"
#include "support/wait.h"
#include "tab/form1.h"

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
