#include "frmdownload.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "core/downloadnames.h"
#include "core/filewriter.h"
#include "core/programfolder.h"
#include "core/store.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/transfer.h"
#include "services/downloadclaims.h"
#include "services/savedialog.h"
#include "services/windowhelpers.h"
#include "stacking.h"
#include "ucdownload.h"

frmDownload::frmDownload(Platform &platform, QWidget *parent)
    : QWidget(parent, Qt::Window), platform_(platform) {
    setObjectName(QStringLiteral("frmDownload"));
    setWindowTitle(QStringLiteral("下载管理器"));
    column_ = new QWidget(this);
    Sro = new QScrollBar(Qt::Vertical, this);
    Sro->setRange(0, 0);
    Sro->setSingleStep(stacking::kPitch / 4);
    Sro->setPageStep(stacking::kPitch);
    connect(Sro, &QScrollBar::valueChanged, this,
            [this](int v) { placeAll(stacking::Scrolled(tasks_.keys(), v)); });
    const QSize column =
        TwipsToPixels(QRect(0, 0, stacking::kColumnWidth, 4 * stacking::kPitch), this).size();
    resize(column);
    showScrollBar(false);

    mnuFile = new QMenu(QStringLiteral("文件(&F)"), this);
    mnuFile->addAction(QStringLiteral("新建任务(&N)..."), this, &frmDownload::NewTaskFromAddress);
    mnuFile->addAction(QStringLiteral("清除已完成(&C)"), this, &frmDownload::ClearFinished);
    mnuFile->addSeparator();
    mnuFile->addAction(QStringLiteral("关闭(&X)"), this, &QWidget::close);
    mnuP = new QMenu(this);
    // The task's own: what it can do now.
    auto onTask = [this](void (DownloadTask::*act)()) {
        return [this, act] {
            if (ucDownload *t = tasks_.value(SelectedTask)) (t->control().*act)();
        };
    };
    mnuPause = mnuP->addAction(QStringLiteral("暂停"), this, onTask(&DownloadTask::Pause));
    mnuResume = mnuP->addAction(QStringLiteral("继续"), this, onTask(&DownloadTask::Resume));
    mnuStop = mnuP->addAction(QStringLiteral("停止"), this, onTask(&DownloadTask::Stop));
    mnuP->addSeparator();
    mnuDeleteFile =
        mnuP->addAction(QStringLiteral("删除文件"), this, &frmDownload::DeleteSelectedFile);
    mnuP->addSeparator();
    mnuP->addAction(QStringLiteral("删除任务"), this, &frmDownload::DeleteSelectedTask);
    // What to do with the file, after the two of old.
    mnuP->addSeparator();
    mnuOpen = mnuP->addAction(QStringLiteral("打开文件"), this, [this] {
        if (ucDownload *t = tasks_.value(SelectedTask)) t->OpenFile();
    });
    mnuP->addAction(QStringLiteral("打开所在文件夹"), this, [this] {
        if (ucDownload *t = tasks_.value(SelectedTask)) t->OpenFolder();
    });
    mnuP->addAction(QStringLiteral("复制下载地址"), this, [this] {
        if (ucDownload *t = tasks_.value(SelectedTask))
            QGuiApplication::clipboard()->setText(t->task().url().toString());
    });
    // A task is never restarted: a new one fetches the same address into the same place.
    mnuRetry = mnuP->addAction(QStringLiteral("重新下载"), this, [this] {
        if (ucDownload *t = tasks_.value(SelectedTask))
            NewDownload(t->targetPath(), t->task().url().toString());
    });
    mnuRetry->setObjectName(QStringLiteral("mnuRetry"));
    // The list of the last run, as it was: what was running comes back interrupted.
    save_ = new QTimer(this);
    save_->setSingleShot(true);
    connect(save_, &QTimer::timeout, this, &frmDownload::save);
    const QByteArray list = ReadFileBytes(RecordsPath());
    int dropped = 0;
    for (const QByteArray &line : list.split('\n')) dropped += !line.isEmpty();
    for (const DownloadRecord &r : ParseDownloadList(list)) {
        if (!TrustedRecord(r)) continue;
        add()->Restore(r);
        --dropped;
    }
    // A line naming files not its own is never acted on: said once, and gone from the list.
    if (dropped > 0) {
        platform_.dialogs().Notice(this,
                                   QStringLiteral("下载列表中有 %1 项无效，已忽略").arg(dropped),
                                   QStringLiteral("提示"), Dialogs::Information);
        saveSoon();
    }
}

QString frmDownload::RecordsPath() {
    return AppDir() + QStringLiteral("数据/downloads.dat");
}

// The list is written when a task's state moves, never at each block.
void frmDownload::saveSoon() {
    if (!save_->isActive()) save_->start(0);
}

void frmDownload::save() {
    QList<DownloadRecord> records;
    for (ucDownload *t : std::as_const(tasks_))
        if (!offRecord_.contains(t)) records << t->task().record();
    if (records.isEmpty() && !QFileInfo::exists(RecordsPath())) return;
    // A full disk keeps the list as it was: said once, until it is written again.
    const WriteResult written = WriteFileWhole(RecordsPath(), DownloadListBytes(records));
    if (written)
        saveFailed_ = false;
    else if (!std::exchange(saveFailed_, true))
        platform_.dialogs().Notice(this, QStringLiteral("无法保存下载列表：%1").arg(written.error),
                                   QStringLiteral("提示"), Dialogs::Exclamation);
}

void frmDownload::ForgetOffRecord() {
    for (const ucDownload *t : QSet(offRecord_)) Forget(const_cast<ucDownload *>(t));
}

void frmDownload::ClearFinished() {
    for (const int n : tasks_.keys()) {
        const ucDownload *t = tasks_.value(n);
        if (!t->task().running() && !t->task().resumable()) remove(n);
    }
}

void frmDownload::ClearRecords() {
    for (const int n : tasks_.keys()) {
        ucDownload *t = tasks_.value(n);
        if (t->task().running()) continue;
        t->Stop();  // an interrupted one's partial file goes
        remove(n);
    }
    // Kept but not shown in this run: their partial files too.
    for (const DownloadRecord &r : ParseDownloadList(ReadFileBytes(RecordsPath())))
        if (r.end == DownloadRecord::End::Interrupted && TrustedRecord(r) &&
            !downloadclaims::TargetClaimed(r.partial))
            QFile::remove(r.partial);
    save();
}

// The list as it is now; a private tab's task leaves nothing behind.
frmDownload::~frmDownload() {
    for (ucDownload *t : std::as_const(tasks_))
        if (!offRecord_.contains(t)) t->control().Hold();
    save();
    for (ucDownload *t : std::as_const(tasks_))
        if (offRecord_.contains(t)) t->Stop();
}

int frmDownload::innerHeight() const {
    return qRound(height() * TwipsPerPixel(this));
}
int frmDownload::topOf(int index) const {
    return tops_.value(index, -1);
}

ucDownload *frmDownload::NewDownload(const QString &fileName, const QString &url,
                                     Transfer *transfer, bool offTheRecord) {
    ucDownload *task = add();
    if (offTheRecord) offRecord_.insert(task);  // before it can be written
    task->Download(fileName, url, transfer);
    saveSoon();
    return task;
}

ucDownload *frmDownload::add() {
    const int n = ++highest_;
    auto *task = new ucDownload(platform_, column_);
    task->resize(column_->width(), task->height());
    tasks_.insert(n, task);
    const int top = tops_.isEmpty() ? 0 : stacking::NewTaskTop(tops_);
    tops_.insert(n, top);
    task->move(0, qRound(top / TwipsPerPixel(this)));
    connect(task, &ucDownload::MouseUp, this, [this, n, task](Qt::MouseButton b) {
        SelectedTask = n;
        const DownloadTask &t = task->task();
        const auto state = t.state();
        const bool whole =
            state == ucDownload::State::Completed && QFileInfo(t.targetPath()).isFile();
        mnuPause->setVisible(t.CanPause());
        mnuResume->setVisible(t.resumable());
        mnuStop->setVisible(t.running() || t.resumable());
        mnuDeleteFile->setVisible(whole || t.running() || t.resumable());
        mnuOpen->setVisible(whole);  // a failed or missing file is nothing to open
        mnuRetry->setVisible(state == ucDownload::State::Failed ||
                             state == ucDownload::State::Stopped);
        if (b == Qt::RightButton) mnuP->popup(QCursor::pos());
    });
    // Its state in the list kept across starts.
    connect(&task->task(), &DownloadTask::Changed, this,
            [this, task, last = std::make_shared<int>(-1)] {
                if (std::exchange(*last, int(task->state())) != int(task->state())) saveSoon();
            });
    task->show();
    updateScrollRange();
    return task;
}

// The range counts from the list's top, whatever is scrolled now; a list that overflows
// scrolls on past its last task, so that the window's own menu stays within reach.
void frmDownload::updateScrollRange() {
    const int bottom = int(tasks_.size()) * stacking::kPitch;
    const auto range = stacking::ScrollRange(bottom, innerHeight());
    showScrollBar(range.has_value());
    Sro->setMaximum(range ? *range + stacking::kPitch / 2 : 0);
}

void frmDownload::wheelEvent(QWheelEvent *e) {
    if (Sro->maximum() == 0) return e->ignore();
    Sro->setValue(Sro->value() - e->angleDelta().y() * stacking::kPitch / 480);
}

void frmDownload::keyPressEvent(QKeyEvent *e) {
    const QMap<int, QAbstractSlider::SliderAction> keys{
        {Qt::Key_Down, QAbstractSlider::SliderSingleStepAdd},
        {Qt::Key_Up, QAbstractSlider::SliderSingleStepSub},
        {Qt::Key_PageDown, QAbstractSlider::SliderPageStepAdd},
        {Qt::Key_PageUp, QAbstractSlider::SliderPageStepSub},
        {Qt::Key_Home, QAbstractSlider::SliderToMinimum},
        {Qt::Key_End, QAbstractSlider::SliderToMaximum}};
    if (!keys.contains(e->key())) return QWidget::keyPressEvent(e);
    Sro->triggerAction(keys.value(e->key()));
}

void frmDownload::placeAll(const QMap<int, int> &tops) {
    tops_ = tops;
    const double tpp = TwipsPerPixel(this);
    for (auto it = tops.begin(); it != tops.end(); ++it)
        if (ucDownload *t = tasks_.value(it.key())) t->move(0, qRound(it.value() / tpp));
}

// Tasks and the scroll bar stay in step: the list as scrolled now.
void frmDownload::RestackTasks() {
    placeAll(stacking::Scrolled(tasks_.keys(), Sro->value()));
}

// At least one column wide, and as wide as the user makes it: the lines follow the width.
void frmDownload::showScrollBar(bool shown) {
    const int column = TwipsToPixels(QRect(0, 0, stacking::kColumnWidth, 0), this).width();
    const int bar = TwipsToPixels(QRect(0, 0, stacking::kScrollWidth, 0), this).width();
    const bool least = width() <= column + (Sro->isVisibleTo(this) ? bar : 0);
    Sro->setVisible(shown);
    setMinimumWidth(column + (shown ? bar : 0));
    if (least) resize(minimumWidth(), height());  // the bar beside the column, not over it
    placeColumn();
}

void frmDownload::placeColumn() {
    const int bar = Sro->isVisibleTo(this)
                        ? TwipsToPixels(QRect(0, 0, stacking::kScrollWidth, 0), this).width()
                        : 0;
    column_->setGeometry(0, 0, width() - bar, height());
    Sro->setGeometry(width() - bar, 0, bar, height());
    for (ucDownload *t : std::as_const(tasks_)) t->resize(column_->width(), t->height());
}

void frmDownload::resizeEvent(QResizeEvent *e) {
    placeColumn();
    if (e->size().height() != e->oldSize().height()) updateScrollRange();  // more or less fits
}

void frmDownload::NewTaskFromAddress() {
    const auto answer = platform_.dialogs().InputBox(this, QStringLiteral("请输入地址:"),
                                                     QStringLiteral("新建下载任务"), QString());
    if (!answer || answer->isEmpty()) return;
    const QString address = *answer;
    // The server's own name comes with the headers of a HEAD; a server that will not answer
    // one (or not within seconds) leaves the name the address gives.
    auto *probe = platform_.createTransfer(this);
    auto ask = [this, probe, address] {
        probe->disconnect(this);
        const QString name = ContentDispositionName(probe->Header("Content-Disposition"));
        probe->Cancel();
        probe->deleteLater();
        const QString path =
            AskDownloadPath(platform_.dialogs(), this, ProposedFileName(name, address));
        if (!path.isEmpty()) NewDownload(path, address);  // a cancelled dialog starts nothing
    };
    connect(probe, &Transfer::ResponseStarted, this, ask);
    connect(probe, &Transfer::Finished, this, ask);
    setCursor(Qt::BusyCursor);
    connect(probe, &QObject::destroyed, this, [this] { unsetCursor(); });
    probe->Execute(QUrl::fromUserInput(address), Transfer::Method::Head);
}

void frmDownload::DeleteSelectedFile() {
    ucDownload *t = tasks_.value(SelectedTask);
    if (!t) return;
    if (platform_.dialogs().MsgBox(this, QStringLiteral("是否删除文件？"), QStringLiteral("提示"),
                                   Dialogs::Question, Dialogs::YesNo) == Dialogs::AnswerYes)
        t->KillFile();
}

void frmDownload::DeleteSelectedTask() {
    ucDownload *t = tasks_.value(SelectedTask);
    if (!t) return;
    if (platform_.dialogs().MsgBox(this, QStringLiteral("是否删除该任务？"), QStringLiteral("提示"),
                                   Dialogs::Question, Dialogs::YesNo) != Dialogs::AnswerYes)
        return;
    t->Stop();  // a running task ends its transfer before it goes
    remove(SelectedTask);
}

void frmDownload::Forget(ucDownload *task) {
    if (tasks_.key(task) == 0) return;
    if (!task->task().running()) return remove(tasks_.key(task));
    connect(&task->task(), &DownloadTask::Changed, this, [this, task] {
        if (const int n = tasks_.key(task); n != 0 && !task->task().running()) remove(n);
    });
}

void frmDownload::remove(int n) {
    ucDownload *t = tasks_.take(n);
    offRecord_.remove(t);
    saveSoon();
    tops_.remove(n);
    t->hide();
    t->deleteLater();
    if (SelectedTask == n) SelectedTask = 0;
    updateScrollRange();
    RestackTasks();
}

void frmDownload::mouseReleaseEvent(QMouseEvent *e) {
    if (e->button() == Qt::RightButton) mnuFile->popup(e->globalPosition().toPoint());
}

void frmDownload::closeEvent(QCloseEvent *e) {
    if (exiting_) {
        const bool running = std::any_of(tasks_.cbegin(), tasks_.cend(),
                                         [](const ucDownload *t) { return t->task().running(); });
        if (running &&
            platform_.dialogs().MsgBox(
                this, QStringLiteral("您确定要关闭下载管理器吗？\r\n正在进行的任务将会停止"),
                QStringLiteral("提示"), Dialogs::Exclamation, Dialogs::YesNo) != Dialogs::AnswerYes)
            return e->ignore();
        return e->accept();
    }
    const auto answer = platform_.dialogs().MsgBox(
        this, QStringLiteral("您确定要关闭下载管理器吗？\r\n正在进行的任务将会停止"),
        QStringLiteral("提示"), Dialogs::Exclamation, Dialogs::YesNo);
    if (answer != Dialogs::AnswerYes) return e->ignore();
    // The window and its tasks go; the next show starts with an empty list.
    for (ucDownload *t : std::as_const(tasks_)) {
        t->Stop();
        t->deleteLater();
    }
    tasks_.clear();
    offRecord_.clear();
    save();
    tops_.clear();
    highest_ = 0;
    SelectedTask = 0;
    Sro->setRange(0, 0);
    showScrollBar(false);
    e->accept();
}
