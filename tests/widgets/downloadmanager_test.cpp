// The download manager's window: its tasks stacked and scrolled, its menus and its question
// at a close, and the list it keeps on disk.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "downloads/frmdownload.h"
#include "downloads/ucdownload.h"
#include "services/windowhelpers.h"
#include "support/fakeplatform.h"
#include "support/frameparts.h"
#include "support/testfolder.h"
#include "support/wait.h"

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
