// A download task on its own, fed by a fake transfer: its figures and its notice, the files it
// writes and leaves alone, and its line in the manager.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "downloads/downloadtask.h"
#include "downloads/ucdownload.h"
#include "support/fakeplatform.h"
#include "support/frameparts.h"
#include "support/testfolder.h"

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
