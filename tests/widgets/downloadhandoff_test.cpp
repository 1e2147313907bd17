// Files that reach the download manager from elsewhere: a page's download with the save
// dialog, a new task's name from its server, and the update from the help menu.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/programfolder.h"
#include "core/settings.h"
#include "downloads/frmdownload.h"
#include "downloads/ucdownload.h"
#include "services/savedialog.h"
#include "shell/mdibrowser.h"
#include "support/fakeplatform.h"
#include "support/frameparts.h"
#include "support/testfolder.h"
#include "tab/form1.h"

TEST(DownloadHandOffTest, APagesFileIsSavedWhereTheUserSaysUnderTheServersName) {
    TestFolder folder;
    folder.useAsAppDir();
    FakePlatform platform;
    mdiBrowser f(platform, "http://a/");
    ASSERT_TRUE(f.Load());
    WebView *view = frontOf(f)->browser();
    QStringList status;
    QObject::connect(frontOf(f), &Form1::StatusTextChanged, [&](const QString &t) { status << t; });
    const QString downloads = UserDownloadFolder();
    struct Offered {
        DownloadAnswer answer;
        FakeTransfer *engine;
    };
    auto offer = [&](const QString &url, const QString &suggested) {
        auto *engine = new FakeTransfer;
        const DownloadAnswer a = view->host()->offerDownload({url, suggested, engine});
        if (a.kind != DownloadAnswer::Taken) delete engine;  // the engine's own again
        return Offered{a, a.kind == DownloadAnswer::Taken ? engine : nullptr};
    };

    // A cancelled dialog drops it; the engine's name is proposed in the download folder,
    // a hostile one without its path.
    platform.dialogs_.files = {QString()};
    auto o = offer("http://h/get.php?id=7", "../../报告 7.pdf");
    EXPECT_EQ(o.answer.kind, DownloadAnswer::Cancel);
    EXPECT_EQ(platform.dialogs_.saveRequests.last(),
              "下载文件另存为|所有文件|*.*|" + downloads + "/报告 7.pdf");
    EXPECT_TRUE(platform.transfers.isEmpty());

    // A plain GET and a form's post alike: the task runs the engine's own fetch, never a
    // second request; the next dialog opens where this one was left.
    const QString target = folder.file("setup.exe");
    platform.dialogs_.files = {target};
    o = offer("http://h/get.php?setup.exe", QString());
    EXPECT_EQ(o.answer.kind, DownloadAnswer::Taken);
    EXPECT_EQ(platform.dialogs_.saveRequests.last(),
              "下载文件另存为|所有文件|*.*|" + downloads + "/setup.exe");
    EXPECT_TRUE(platform.transfers.isEmpty());
    EXPECT_TRUE(f.downloadManager()->isVisible());
    EXPECT_EQ(f.downloadManager()->tasks().value(1)->targetPath(), target);
    ASSERT_TRUE(o.engine);
    EXPECT_EQ(o.engine->parent(), &f.downloadManager()->tasks().value(1)->task());
    // The same target while that task runs: asked again, "setup (1).exe" proposed.
    platform.dialogs_.files = {target, folder.file("setup (1).exe")};
    o = offer("http://h/get.php?setup.exe", QString());
    ASSERT_GE(platform.dialogs_.saveRequests.size(), 2);
    EXPECT_EQ(platform.dialogs_.saveRequests.last(),
              "下载文件另存为|所有文件|*.*|" + folder.file("setup (1).exe"));
    EXPECT_EQ(f.downloadManager()->tasks().value(2)->targetPath(), folder.file("setup (1).exe"));
    f.downloadManager()->tasks().value(2)->Stop();
    platform.dialogs_.files = {folder.file("export.csv")};
    o = offer("http://h/export", "export.csv");
    EXPECT_EQ(platform.dialogs_.saveRequests.last(),
              "下载文件另存为|所有文件|*.*|" + folder.path() + "/export.csv");
    EXPECT_EQ(o.answer.kind, DownloadAnswer::Taken);
    EXPECT_TRUE(platform.transfers.isEmpty());
    ASSERT_TRUE(o.engine);
    EXPECT_EQ(o.engine->parent(), &f.downloadManager()->tasks().value(3)->task());
    EXPECT_EQ(o.engine->url, QUrl("http://h/export"));

    // "AutoDownload" 0: the engine saves it, to the place asked all the same.
    settings::Write(settings::Key::AutoDownload, "0");
    platform.dialogs_.files = {folder.file("own.bin")};
    o = offer("http://h/own.bin", "own.bin");
    EXPECT_EQ(o.answer.kind, DownloadAnswer::SaveByEngine);
    EXPECT_EQ(o.answer.savePath, folder.file("own.bin"));
    EXPECT_EQ(f.downloadManager()->tasks().size(), 3);
    emit view->DownloadSaved(folder.file("own.bin"), true);
    EXPECT_EQ(status.last(), "下载完成: " + folder.file("own.bin"));
}

TEST(DownloadHandOffTest, NewTaskAsksTheServerForItsName) {
    FakePlatform platform;
    frmDownload m(platform);
    QTemporaryDir dir;
    auto newTask = [&](const QByteArray &disposition, bool answers) {
        platform.dialogs_.inputs = {QString("http://h/report?id=7")};
        m.NewTaskFromAddress();
        FakeTransfer *probe = platform.transfers.last();
        EXPECT_EQ(probe->method, Transfer::Method::Head);
        EXPECT_TRUE(platform.dialogs_.saveRequests.isEmpty());  // not before the answer
        if (!disposition.isEmpty()) probe->headers.insert("Content-Disposition", disposition);
        if (answers)
            probe->respond(200, 10);
        else
            probe->finish(false);
        const QString proposed = platform.dialogs_.saveRequests.takeLast();
        return proposed.mid(proposed.lastIndexOf('/') + 1);
    };
    platform.dialogs_.files = {QString(), QString(), QString()};
    EXPECT_EQ(newTask("attachment; filename*=UTF-8''%E6%9C%88%E6%8A%A5.xlsx", true), "月报.xlsx");
    EXPECT_EQ(newTask("attachment; filename=\"../../x.sh\"", true), "x.sh");
    EXPECT_EQ(newTask({}, false), "id=7");  // no answer: the address's name
    EXPECT_TRUE(m.tasks().isEmpty());
    platform.dialogs_.files = {dir.filePath("r.xlsx")};
    newTask({}, true);
    ASSERT_EQ(m.tasks().size(), 1);
    EXPECT_EQ(platform.transfers.last()->method, Transfer::Method::Get);
    EXPECT_EQ(platform.transfers.last()->url, QUrl("http://h/report?id=7"));
}

TEST(UpdateMenuTest, TheHelpMenuReportsEachOutcome) {
    TestFolder folder;
    folder.useAsAppDir();
    FakePlatform platform;
    mdiBrowser f(platform, "http://a/");
    ASSERT_TRUE(f.Load());
    auto publish = [&](const QByteArray &page, bool reached = true) {
        platform.script = [page, reached](FakeTransfer *t) {
            if (!reached) return t->finish(false);
            t->respond(200, page.size());
            t->feed(page);
            t->finish(true);
        };
    };
    publish("1,1,0,http://h/p.zip,2026-12-01,n");
    ui(f).action("mnuHc0")->trigger();
    ASSERT_EQ(platform.dialogs_.shown.size(), 1u);
    EXPECT_EQ(platform.dialogs_.shown[0].text, "您的Telvano已是最新版本！");
    EXPECT_EQ(platform.dialogs_.shown[0].title, "更新");

    publish({}, false);
    ui(f).action("mnuHc0")->trigger();
    EXPECT_EQ(platform.dialogs_.shown.back().text,
              "检查更新中出现错误！请确保您的网络连通，然后再试一次。");
    EXPECT_EQ(platform.dialogs_.shown.back().title, "出错");

    publish("2,0,0,http://h/new.zip,2026-12-24,新版\r\n");
    platform.dialogs_.answers = {Dialogs::AnswerYes};
    ui(f).action("mnuHc0")->trigger();
    EXPECT_EQ(platform.dialogs_.shown.back().title, "新版本");
    platform.script = nullptr;
    ASSERT_EQ(f.downloadManager()->tasks().size(), 1);
    EXPECT_EQ(f.downloadManager()->tasks().value(1)->targetPath(), AppDir() + "Orvex Lumetta.zip");
    EXPECT_EQ(platform.transfers.last()->url, QUrl("http://h/new.zip"));
    EXPECT_EQ(platform.dialogs_.shown.size(), 3u);  // nothing more after the question
    EXPECT_FALSE(QFile::exists(folder.file("ver")));
}
