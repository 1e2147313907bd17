#include "downloadtask.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <QUrl>
#include <cerrno>

#include "core/clock.h"
#include "core/downloadnames.h"
#include "platform/transfer.h"
#include "services/downloadclaims.h"

DownloadTask::DownloadTask(Clock &clock, QObject *parent) : QObject(parent), clock_(clock) {
    ticker_.setInterval(1000);
    connect(&ticker_, &QTimer::timeout, this, &DownloadTask::tick);
}

DownloadTask::~DownloadTask() {
    Stop();
    endTransfer();
}

void DownloadTask::Start(const QString &target, const QUrl &url, Transfer *transfer) {
    target_ = FittedPath(target);  // its partial file's name must fit too
    url_ = url;
    downloadclaims::ClaimTarget(target_);
    partial_ = downloadclaims::ClaimPartial(target_);
    state_ = State::Requesting;
    transfer_ = transfer;
    transfer_->setParent(this);
    writing_ = qobject_cast<WritingTransfer *>(transfer);
    if (writing_) writing_->SetFile(partial_);
    connect(transfer_, &Transfer::ResponseStarted, this, &DownloadTask::onResponseStarted);
    connect(transfer_, &Transfer::DataAvailable, this, &DownloadTask::onDataAvailable);
    connect(transfer_, &Transfer::Finished, this, &DownloadTask::onFinished);
    started_ = clock_.steadyMs();
    rate_.sample(0, 0);
    ticker_.start();
    transfer_->Execute(url);
}

void DownloadTask::onResponseStarted() {
    if (state_ != State::Requesting) return;
    // An error page is no file to save.
    if (transfer_->HttpStatus() >= 400)
        return fail(QStringLiteral("服务器错误 %1").arg(transfer_->HttpStatus()));
    // The chosen name stays as it is (absent, or an older file) until the new one is whole.
    if (!writing_) {
        // Its own, new: never another task's partial file, nor one a crash left.
        file_.setFileName(partial_);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return fail(fileFault(errno));
    }
    expected_ = transfer_->ContentLength();
    state_ = State::Transferring;
}

void DownloadTask::onDataAvailable() {
    if (state_ != State::Transferring) return;
    if (!writing_) return writeBlocks(false);
    written_ = writing_->BytesWritten();
    expected_ = transfer_->ContentLength();
    figure_ = true;
    emit Progressed();
}

void DownloadTask::onFinished(bool ok, const QString &error) {
    if (state_ == State::Requesting && ok) onResponseStarted();
    const QString why = error.isEmpty() ? QStringLiteral("连接中断") : error;
    if (state_ == State::Requesting) return fail(why);
    if (state_ != State::Transferring) return;
    if (writing_) {
        written_ = writing_->BytesWritten();
        return ok ? complete() : fail(why);
    }
    writeBlocks(true);
    if (state_ != State::Transferring) return;
    // All that came has been written: complete only when it is all there was to come.
    if (ok && (!expected_ || written_ == *expected_))
        complete();
    else
        fail(why);
}

// Whole blocks as they arrive; the last, shorter block once the body has ended. The reply is
// read until it is empty every time: only a read that finds it empty lets the transfer fetch
// more, so a short tail left waiting would stop it for good. The tail waits here instead.
void DownloadTask::writeBlocks(bool drain) {
    char piece[64 * 1024];
    for (qint64 n; (n = transfer_->Read(piece, sizeof piece)) > 0;) waiting_.append(piece, n);
    qsizetype at = 0;
    while (state_ == State::Transferring) {
        const qint64 n = qMin<qint64>(waiting_.size() - at, kBlockSize);
        if (n == 0 || (n < kBlockSize && !drain)) break;
        if (file_.write(waiting_.constData() + at, n) != n) return fail(fileFault(errno));
        at += n;
        written_ += n;
        figure_ = true;
        emit Progressed();
        if (expected_ && written_ >= *expected_) return complete();
    }
    waiting_.remove(0, at);
}

void DownloadTask::tick() {
    if (!running()) return ticker_.stop();
    const qint64 now = clock_.steadyMs() - started_;
    rate_.sample(now, written_);
    if (now - rate_.lastGrowth() >= kStallMs)
        return fail(QStringLiteral("服务器无响应 (%1 秒)").arg(kStallMs / 1000));
    if (state_ != State::Transferring) return;
    shownRate_ = rate_.bytesPerSecond();
    emit Changed();
}

void DownloadTask::complete() {
    if (file_.isOpen()) {
        const bool flushed = file_.flush();  // what is still buffered must reach the disk too
        const int why = errno;
        file_.close();
        if (!flushed || file_.error() != QFileDevice::NoError) return fail(fileFault(why));
    }
    if (!ReplaceFile(partial_, target_)) return fail(fileFault(errno));
    downloadclaims::Release(target_, partial_);
    state_ = State::Completed;
    ticker_.stop();
    endTransfer();
    shownRate_.reset();  // a finished task shows its figure
    suffix_ = QStringLiteral("   下载已完成");
    emit Changed();
    emit Completed();
}

// "下载失败" first, then why, in words a user knows.
void DownloadTask::fail(const QString &reason) {
    end(State::Failed, QStringLiteral("下载失败：") + reason);
}

// Why the file could not be written: from the system's answer where it still has it
// (buffered writes fail later, past other calls), else from the disk's free space.
QString DownloadTask::fileFault(int error) const {
    if (error == ENAMETOOLONG) return QStringLiteral("文件名过长");
    const QStorageInfo disk(QFileInfo(partial_).absolutePath());
    if (error == ENOSPC || error == EDQUOT ||
        (disk.isValid() && disk.bytesAvailable() < 64 * kBlockSize))
        return QStringLiteral("磁盘空间不足");
    return QStringLiteral("无法写入目标文件夹");
}

void DownloadTask::Stop() {
    if (running()) end(State::Stopped, QStringLiteral("下载已停止"));
}

// A part of a file is no file: it goes with the task's end.
void DownloadTask::end(State state, const QString &text) {
    state_ = state;
    ticker_.stop();
    endTransfer();  // a request still waiting for its answer is cancelled too
    file_.close();
    QFile::remove(partial_);  // its own only
    downloadclaims::Release(target_, partial_);
    waiting_.clear();
    figure_ = false;
    shownRate_.reset();
    fixed_ = text;
    suffix_.clear();
    emit Changed();
}

void DownloadTask::endTransfer() {
    if (!transfer_) return;
    transfer_->Cancel();
    transfer_->deleteLater();
    transfer_ = nullptr;
    writing_ = nullptr;
}

bool DownloadTask::DeleteFile() {
    if (running()) {
        Stop();  // the transfer must not go on into a file the user deleted
        return true;
    }
    return state_ == State::Completed && QFile::remove(target_);
}

QString DownloadTask::progressText(bool withSpeed) const {
    if (!figure_) return fixed_ + suffix_;
    if (!shownRate_) return ProgressText(written_) + suffix_;
    return ProgressDetail(written_, expected_, shownRate_, withSpeed) + suffix_;
}

int DownloadTask::barWidth(int track) const {
    if (state_ == State::Stopped) return 1;
    // A failure fills the track (in the fault colour): seen at a glance, however early.
    if (state_ == State::Failed || (state_ == State::Completed && !expected_)) return track;
    return qMax(1, BarWidth(written_, expected_, track).value_or(1));
}
