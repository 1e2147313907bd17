#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "core/programfolder.h"
#include "core/settings.h"
#include "downloads/downloadtask.h"
#include "downloads/frmdownload.h"
#include "downloads/ucdownload.h"
#include "services/savedialog.h"
#include "services/windowhelpers.h"
#include "shell/mdibrowser.h"
#include "support/fakeplatform.h"
#include "support/frameparts.h"
#include "support/testfolder.h"
#include "support/wait.h"
#include "tab/form1.h"

namespace {

class TaskTest : public ::testing::Test {
  protected:
    DownloadTask *start(const QString &name = "file.bin") {
        task = std::make_unique<DownloadTask>(platform.clock_);
        completed = std::make_unique<QSignalSpy>(task.get(), &DownloadTask::Completed);
        path = QDir::isAbsolutePath(name) ? name : dir.filePath(name);
        task->Start(path, QUrl("http://127.0.0.1/f"), platform.createTransfer(nullptr));
        transfer = platform.transfers.last();
        return task.get();
    }
    QByteArray pattern(int n) {
        QByteArray b(n, Qt::Uninitialized);
        for (int i = 0; i < n; ++i) b[i] = char(i * 7 + 3);
        return b;
    }
    FakePlatform platform;
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<DownloadTask> task;
    std::unique_ptr<QSignalSpy> completed;  // what the task's line announces
    QPointer<FakeTransfer> transfer;
};

}  // namespace

TEST_F(TaskTest, ThreeThousandBytesInThreeBlocksWithTheirFiguresAndOneNotice) {
    start();
    EXPECT_EQ(transfer->url, QUrl("http://127.0.0.1/f"));
    EXPECT_EQ(task->targetPath(), path);
    EXPECT_FALSE(QFile::exists(path + ".part"));  // nothing on disk before the response
    transfer->respond(200, 3000);
    const QByteArray body = pattern(3000);
    // Pieces that do not fall on block boundaries.
    transfer->feed(body.left(700));
    EXPECT_EQ(task->bytesWritten(), 0);  // no whole block yet
    transfer->feed(body.mid(700, 500));
    EXPECT_EQ(task->progressText(), "已下载: 1 KB");
    EXPECT_NEAR(task->barWidth(300), 300 * 1024 / 3000, 1);
    transfer->feed(body.mid(1200, 1000));
    EXPECT_EQ(task->bytesWritten(), 2048);
    EXPECT_EQ(task->progressText(), "已下载: 2 KB");
    EXPECT_TRUE(completed->isEmpty());
    EXPECT_TRUE(QFile::exists(path + ".part"));
    EXPECT_FALSE(QFile::exists(path));  // nothing under the name until it is whole
    transfer->feed(body.mid(2200));
    EXPECT_EQ(task->bytesWritten(), 2048);  // the last short block waits for the end
    transfer->finish(true);
    // Each piece read whole, to the empty read that lets a real reply fetch more.
    EXPECT_EQ(transfer->reads, (QList<qint64>{700, 0, 500, 0, 1000, 0, 800, 0, 0}));
    EXPECT_EQ(task->progressText(), "已下载: 2.929688 KB   下载已完成");
    EXPECT_EQ(task->state(), DownloadTask::State::Completed);
    EXPECT_EQ(completed->count(), 1);
    EXPECT_EQ(task->barWidth(300), 300);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), body);
    EXPECT_FALSE(QFile::exists(path + ".part"));
}

TEST_F(TaskTest, ExactlyOneBlockCompletesAtOnce) {
    start();
    transfer->respond(200, 1024);
    transfer->feed(pattern(1024));
    EXPECT_EQ(task->progressText(), "已下载: 1 KB   下载已完成");
    EXPECT_EQ(completed->count(), 1);
    EXPECT_TRUE(transfer.isNull() || transfer->cancelled);
}

TEST_F(TaskTest, NoLengthCompletesWhenTheDataEndsAndZeroLengthGivesAnEmptyFile) {
    start();
    transfer->respond(200, std::nullopt);
    transfer->feed(pattern(5000));
    EXPECT_EQ(task->state(), DownloadTask::State::Transferring);
    transfer->finish(true);
    EXPECT_EQ(task->state(), DownloadTask::State::Completed);
    EXPECT_EQ(QFile(path).size(), 5000);

    start("empty.bin");
    transfer->respond(200, 0);
    transfer->finish(true);
    EXPECT_EQ(task->state(), DownloadTask::State::Completed);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFile(path).size(), 0);
}

TEST_F(TaskTest, ACutOrSilentConnectionFailsAndLeavesNoPartOfAFile) {
    start();
    transfer->respond(200, 10000);
    transfer->feed(pattern(4500));
    EXPECT_TRUE(QFile::exists(path + ".part"));
    transfer->finish(false);
    EXPECT_EQ(task->state(), DownloadTask::State::Failed);
    EXPECT_EQ(task->progressText(), "下载失败：连接中断");
    EXPECT_TRUE(completed->isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
    // A "complete" end with fewer bytes than announced is no success either.
    start("short.bin");
    transfer->respond(200, 10000);
    transfer->feed(pattern(3000));
    transfer->finish(true);
    EXPECT_EQ(task->state(), DownloadTask::State::Failed);
    EXPECT_TRUE(completed->isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
    // A server that stops sending: the task fails once the stall time has passed, not before.
    start("stalled.bin");
    transfer->respond(200, 10000);
    transfer->feed(pattern(2048));
    auto later = [&](qint64 ms) {
        platform.clock_.steady += ms;
        task->tick();  // the task's once-a-second watch
    };
    later(40000);
    transfer->feed(pattern(1024));  // a byte in time restarts the wait
    later(40000);
    later(59999);
    EXPECT_EQ(task->state(), DownloadTask::State::Transferring);
    later(1);
    EXPECT_TRUE(transfer.isNull() || transfer->cancelled);
    EXPECT_EQ(task->progressText(), "下载失败：服务器无响应 (60 秒)");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST_F(TaskTest, AnErrorStatusSavesNoErrorPage) {
    start();
    transfer->respond(404, 50);
    transfer->feed("<html>not found</html>");
    transfer->finish(false);
    EXPECT_EQ(task->state(), DownloadTask::State::Failed);
    EXPECT_EQ(task->progressText(), "下载失败：服务器错误 404");
    EXPECT_FALSE(QFile::exists(path));
    // No response at all (a dead server): failed too, nothing on disk.
    start("dead.bin");
    transfer->finish(false);
    EXPECT_EQ(task->state(), DownloadTask::State::Failed);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(TaskTest, StopAndDeleteLeaveAnOlderFileUnderTheNameUntouched) {
    start();
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(9999, 'o'));
    old.close();
    transfer->respond(200, 100000);
    transfer->feed(pattern(5000));
    task->Stop();
    EXPECT_EQ(task->state(), DownloadTask::State::Stopped);
    EXPECT_EQ(task->progressText(), "下载已停止");
    EXPECT_TRUE(transfer.isNull() || transfer->cancelled);
    EXPECT_TRUE(completed->isEmpty());
    EXPECT_EQ(ReadBytes(path), QByteArray(9999, 'o'));
    EXPECT_FALSE(QFile::exists(path + ".part"));
    // Before the response, and before the first block: the same.
    start();
    task->Stop();
    EXPECT_TRUE(transfer.isNull() || transfer->cancelled);
    start();
    transfer->respond(200, 100000);
    task->Stop();
    EXPECT_EQ(ReadBytes(path), QByteArray(9999, 'o'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"file.bin"});
    // "删除文件" on a running task stops it: nothing goes on into a deleted file.
    start("running.bin");
    transfer->respond(200, 100000);
    transfer->feed(pattern(3000));
    EXPECT_TRUE(task->DeleteFile());
    EXPECT_EQ(task->state(), DownloadTask::State::Stopped);
    EXPECT_TRUE(transfer.isNull() || transfer->cancelled);
    EXPECT_FALSE(QFile::exists(path + ".part"));
    EXPECT_TRUE(completed->isEmpty());
}

TEST_F(TaskTest, ALongerFileAtTheTargetEndsWithExactlyTheNewBytes) {
    WriteBytes(dir.filePath("file.bin"), QByteArray(50000, 'x'));  // as the user chose to replace
    start();
    transfer->respond(200, 2000);
    transfer->feed(pattern(2000));
    transfer->finish(true);
    EXPECT_EQ(ReadBytes(path), pattern(2000));
}

TEST_F(TaskTest, ATargetThatCannotBeWrittenFails) {
    start("no/such/folder/file.bin");
    transfer->respond(200, 100);
    transfer->feed(pattern(100));
    EXPECT_EQ(task->state(), DownloadTask::State::Failed);
    EXPECT_EQ(task->progressText(), "下载失败：无法写入目标文件夹");
    EXPECT_TRUE(completed->isEmpty());
}

// A full disk says so: a small file system of the test's own (root may mount one).
TEST_F(TaskTest, AFullDiskSaysSo) {
    QTemporaryDir small;
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", small.path()}) != 0)
        GTEST_SKIP() << "no file system of our own to fill here";
    start(small.filePath("full.bin"));
    transfer->respond(200, 200000);
    transfer->feed(pattern(200000));
    transfer->finish(true);
    EXPECT_EQ(task->progressText(), "下载失败：磁盘空间不足");
    EXPECT_EQ(QDir(small.path()).entryList(QDir::Files), QStringList());
    QProcess::execute("umount", {small.path()});
}

// Each task writes a partial file of its own: one a crash left, or another task's, is
// never written into nor removed.
TEST_F(TaskTest, APartialFileOfItsOwn) {
    WriteBytes(dir.filePath("x.bin.part"), "left by a crash");
    DownloadTask other(platform.clock_);
    other.Start(dir.filePath("x.bin"), QUrl("http://127.0.0.1/o"),
                platform.createTransfer(nullptr));
    FakeTransfer *first = platform.transfers.last();
    start("x.bin");
    EXPECT_EQ(other.partialPath(), dir.filePath("x.bin.1.part"));
    EXPECT_EQ(task->partialPath(), dir.filePath("x.bin.2.part"));
    first->respond(200, 3000);
    first->feed(pattern(2048));
    transfer->respond(404, 10);
    transfer->finish(false);  // the second fails: the first's partial file stays
    EXPECT_TRUE(QFile::exists(dir.filePath("x.bin.1.part")));
    first->feed(pattern(3000).mid(2048));
    first->finish(true);
    EXPECT_EQ(ReadBytes(dir.filePath("x.bin")), pattern(3000));
    EXPECT_EQ(ReadBytes(dir.filePath("x.bin.part")), "left by a crash");
}

// The task's line: its figures, the notice, the stop link, the bar, the file's own commands.
TEST_F(TaskTest, TheLineShowsTheTaskAndActsOnItsFile) {
    auto line = std::make_unique<ucDownload>(platform, nullptr);
    path = dir.filePath("line.bin");
    line->Download(path, "http://127.0.0.1/f");
    transfer = platform.transfers.last();
    transfer->respond(200, 3000);
    transfer->feed(pattern(2048));
    EXPECT_NEAR(part<QWidget>(line, "lblPro")->width(),
                part<QWidget>(line, "picPro")->width() * 2048 / 3000, 1);
    EXPECT_TRUE(part<QLabel>(line, "Label3")->isEnabled());
    transfer->feed(pattern(952));
    transfer->finish(true);
    ASSERT_EQ(platform.dialogs_.notices.size(), 1u);
    EXPECT_EQ(platform.dialogs_.notices[0].text, "文件" + path + "\r\n下载完成");
    EXPECT_EQ(platform.dialogs_.notices[0].title, "通知");
    EXPECT_FALSE(part<QLabel>(line, "Label3")->isEnabled());
    EXPECT_EQ(part<QWidget>(line, "lblPro")->width(), part<QWidget>(line, "picPro")->width());
    auto *task = line.get();
    task->OpenFile();  // with the desktop's program for it
    EXPECT_EQ(platform.desktop_.opened, QStringList{path});
    EXPECT_TRUE(platform.dialogs_.shown.empty());
    EXPECT_EQ(task->KillFile(), 0);
    EXPECT_EQ(part<QLabel>(line, "Label1")->text(), "文件已删除");
    EXPECT_FALSE(QFile::exists(path));
    part<QLabel>(line, "Label1")->setText("unchanged");
    EXPECT_EQ(task->KillFile(), 1);
    EXPECT_EQ(part<QLabel>(line, "Label1")->text(), "unchanged");
    task->OpenFile();
    ASSERT_EQ(platform.dialogs_.shown.size(), 1u);
    EXPECT_EQ(platform.dialogs_.shown[0].title, "打开失败");
}

namespace {

class ManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m = std::make_unique<frmDownload>(platform);
        m->resize(m->width(), int(4 * 1215 / TwipsPerPixel(m.get())));
    }
    FakePlatform platform;
    QTemporaryDir dir;
    std::unique_ptr<frmDownload> m;
};

}  // namespace

TEST_F(ManagerTest, TasksStackAndRemovalRestacksWithIndicesNeverReused) {
    for (int i = 0; i < 3; ++i) m->NewDownload(dir.filePath(QString("f%1").arg(i)), "http://h/f");
    EXPECT_EQ(m->topOf(1), 0);
    EXPECT_EQ(m->topOf(2), 1215);
    EXPECT_EQ(m->topOf(3), 2430);
    m->SelectedTask = 2;
    platform.dialogs_.answers = {Dialogs::AnswerYes};
    m->DeleteSelectedTask();
    EXPECT_EQ(platform.dialogs_.shown.back().text, "是否删除该任务？");
    EXPECT_EQ(m->topOf(3), 1215);
    m->NewDownload(dir.filePath("f4"), "http://h/f");
    EXPECT_TRUE(m->tasks().contains(4));
    EXPECT_EQ(m->topOf(4), 2430);
    EXPECT_EQ(m->tasks().keys(), (QList<int>{1, 3, 4}));
}

TEST_F(ManagerTest, OverflowShowsTheScrollBarAndScrollingMovesTheColumn) {
    const int narrow = m->width();
    for (int i = 0; i < 4; ++i) m->NewDownload(dir.filePath(QString("f%1").arg(i)), "http://h/f");
    EXPECT_FALSE(m->Sro->isVisibleTo(m.get()));
    m->NewDownload(dir.filePath("f5"), "http://h/f");
    EXPECT_TRUE(m->Sro->isVisibleTo(m.get()));
    EXPECT_GT(m->width(), narrow);
    const int inner = qRound(m->height() * TwipsPerPixel(m.get()));
    EXPECT_EQ(m->Sro->maximum(), 5 * 1215 - inner + 1215 / 2);  // room for the menu below
    // Wider, the lines follow: their text and bar grow, the link keeps to the right edge.
    m->show();
    const QWidget *text = part<QWidget>(m->tasks().first(), "Label2");
    const int was = text->width(), link = part<QLabel>(m->tasks().first(), "Label3")->x();
    m->resize(m->width() + 100, m->height());
    EXPECT_NEAR(text->width(), was + 100, 1);
    EXPECT_NEAR(part<QLabel>(m->tasks().first(), "Label3")->x(), link + 100, 1);
    m->Sro->setValue(600);
    EXPECT_EQ(m->topOf(1), -600);
    EXPECT_EQ(m->topOf(2), 615);
    // A task started while the list is scrolled to its end can be scrolled to; the wheel
    // and the keys scroll; removing one keeps the list and the bar in step.
    m->Sro->setValue(m->Sro->maximum());
    m->NewDownload(dir.filePath("f6"), "http://h/f");
    EXPECT_EQ(m->Sro->maximum(), 6 * 1215 - inner + 1215 / 2);
    QTest::keyClick(m.get(), Qt::Key_End);
    EXPECT_LE(m->topOf(6) + 1215, inner);
    EXPECT_GE(m->topOf(6), 0);
    QWheelEvent up(QPointF(5, 5), m->mapToGlobal(QPointF(5, 5)), {}, {0, 120}, Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(m.get(), &up);
    EXPECT_LT(m->Sro->value(), m->Sro->maximum());
    m->SelectedTask = 1;
    platform.dialogs_.answers = {Dialogs::AnswerYes};
    m->DeleteSelectedTask();
    EXPECT_EQ(m->topOf(2), -m->Sro->value());
}

TEST_F(ManagerTest, MenusNewTaskAndTheCloseQuestion) {
    QStringList file, task;
    for (QAction *a : m->mnuFile->actions()) file << (a->isSeparator() ? "-" : a->text());
    for (QAction *a : m->mnuP->actions()) task << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(file, (QStringList{"新建任务(&N)...", "清除已完成(&C)", "-", "关闭(&X)"}));
    EXPECT_EQ(task, (QStringList{"暂停", "继续", "停止", "-", "删除文件", "-", "删除任务", "-",
                                 "打开文件", "打开所在文件夹", "复制下载地址", "重新下载"}));

    m->NewTaskFromAddress();  // the input box was cancelled
    EXPECT_TRUE(m->tasks().isEmpty());
    platform.dialogs_.files = {QString()};  // a cancelled save dialog
    m->NewTaskFromAddress();
    EXPECT_TRUE(m->tasks().isEmpty());

    m->NewDownload(dir.filePath("running.bin"), "http://h/f");
    FakeTransfer *t = platform.transfers.last();
    t->headers = {{"Accept-Ranges", "bytes"}};
    t->respond(200, 100000);
    t->feed(QByteArray(4096, 'r'));
    // The task's menu offers what applies to it now.
    auto offered = [&] {
        emit m->tasks().first()->MouseUp(Qt::LeftButton);
        QStringList shown;
        for (QAction *a : m->mnuP->actions())
            if (a->isVisible() && !a->isSeparator()) shown << a->text();
        return shown.join(' ');
    };
    EXPECT_EQ(offered(), "暂停 停止 删除文件 删除任务 打开所在文件夹 复制下载地址");
    m->tasks().first()->control().Pause();
    EXPECT_EQ(offered(), "继续 停止 删除文件 删除任务 打开所在文件夹 复制下载地址");
    m->tasks().first()->control().Resume();
    EXPECT_EQ(t->from, 4096);
    t->respond(206, 100000 - 4096);  // no Content-Range: not the rest, so the whole is asked for
    EXPECT_EQ(t->from, 0);
    t->respond(200, 100000);
    EXPECT_TRUE(part<QWidget>(m->tasks().first(), "Label2")
                    ->toolTip()
                    .contains("服务器返回的范围与请求不符，已重新开始"));
    m->show();
    platform.dialogs_.answers = {Dialogs::AnswerNo};
    EXPECT_FALSE(m->close());
    EXPECT_EQ(platform.dialogs_.shown.back().text,
              "您确定要关闭下载管理器吗？\r\n正在进行的任务将会停止");
    EXPECT_EQ(m->tasks().size(), 1);
    EXPECT_EQ(m->tasks().first()->state(), ucDownload::State::Transferring);
    // A stopped task offers "重新下载": a new task for the same address and place.
    m->tasks().first()->Stop();
    emit m->tasks().first()->MouseUp(Qt::LeftButton);
    ASSERT_TRUE(m->mnuRetry->isVisible());
    m->mnuRetry->trigger();
    ASSERT_EQ(m->tasks().size(), 2);
    EXPECT_EQ(m->tasks().last()->targetPath(), dir.filePath("running.bin"));
    EXPECT_EQ(platform.transfers.last()->url, QUrl("http://h/f"));
    platform.dialogs_.answers = {Dialogs::AnswerYes};
    EXPECT_TRUE(m->close());
    EXPECT_TRUE(m->tasks().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("running.bin")));
}

// A list line acts on its own task's files only: one naming a file elsewhere (itself, by "..",
// in another folder, through a link, or another target's part) is dropped, said once, and
// leaves every file as it was; a resumed task lands beside a file that came under its name.
TEST(DownloadListTest, LinesNamingOtherFilesTouchNothing) {
    TestFolder folder;
    folder.useAsAppDir();
    FakePlatform platform;
    QTemporaryDir dl, elsewhere;
    const QString d = dl.path() + "/", victim = elsewhere.filePath("victim.part");
    const QString up = d + "../" + QFileInfo(elsewhere.path()).fileName() + "/victim";
    QDir(d).mkdir("sub");
    for (const QString &kept : {victim, d + "sub/f.bin.part", d + "o.bin.part"})
        WriteBytes(kept, "keep");
    QFile::link(victim, d + "l.bin.part");
    WriteBytes(d + "r.bin.part", "0123");
    QList<DownloadRecord> records;
    for (const auto end : {DownloadRecord::End::Failed, DownloadRecord::End::Interrupted})
        for (const auto &[target, partial] :
             QList<QPair<QString, QString>>{{d + "f.bin", victim},
                                            {up, up + ".part"},
                                            {d + "f.bin", d + "sub/f.bin.part"},
                                            {d + "l.bin", d + "l.bin.part"},
                                            {d + "a.bin", d + "o.bin.part"}})
            records << DownloadRecord{end, target, partial, "http://h/r", 4, 10, {}, {}, false};
    records << records.last();  // the one line of its own
    records.last().target = d + "r.bin";
    records.last().partial = d + "r.bin.part";
    WriteBytes(frmDownload::RecordsPath(), DownloadListBytes(records));
    auto m = std::make_unique<frmDownload>(platform);
    ASSERT_EQ(m->tasks().size(), 1);
    ASSERT_EQ(platform.dialogs_.notices.size(), 1u);
    EXPECT_EQ(platform.dialogs_.notices[0].text, "下载列表中有 10 项无效，已忽略");
    WriteBytes(d + "r.bin", "came meanwhile");
    m->tasks().first()->control().Resume();
    FakeTransfer *t = platform.transfers.last();
    EXPECT_EQ(t->from, 4);
    t->headers = {{"Content-Range", "bytes 4-9/10"}};
    t->respond(206, 6);
    t->feed("456789");
    t->finish(true);
    m->ClearRecords();
    m.reset();
    frmDownload again(platform);
    EXPECT_EQ(platform.dialogs_.notices.size(), 2u);  // the list's and the finished file's
    EXPECT_EQ(ReadBytes(d + "r (1).bin"), "0123456789");
    EXPECT_EQ(ReadBytes(d + "r.bin"), "came meanwhile");
    for (const QString &kept : {victim, d + "sub/f.bin.part", d + "o.bin.part"})
        EXPECT_EQ(ReadBytes(kept), "keep");
    EXPECT_TRUE(QFileInfo(d + "l.bin.part").isSymLink());
    EXPECT_EQ(QDir(d).entryList(QDir::Files),
              (QStringList{"l.bin.part", "o.bin.part", "r (1).bin", "r.bin"}));
}

TEST_F(ManagerTest, RemovingARunningTaskStopsItFirst) {
    QDir().mkpath(frmDownload::RecordsPath());  // the list cannot be written: said once
    const auto unmake = qScopeGuard([] { QDir(frmDownload::RecordsPath()).removeRecursively(); });
    m->NewDownload(dir.filePath("run.bin"), "http://h/f");
    QPointer<FakeTransfer> t = platform.transfers.last();
    t->respond(200, 100000);
    t->feed(QByteArray(4096, 'r'));
    m->SelectedTask = 1;
    platform.dialogs_.answers = {Dialogs::AnswerYes};
    m->DeleteSelectedTask();
    EXPECT_TRUE(t.isNull() || t->cancelled);
    EXPECT_TRUE(m->tasks().isEmpty());
    QTest::qWait(50);
    ASSERT_EQ(platform.dialogs_.notices.size(), 1);
    EXPECT_TRUE(platform.dialogs_.notices[0].text.startsWith("无法保存下载列表："));
}

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
