#include "downloadtask.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <QUrl>
#include <cerrno>

#include "core/clock.h"
#include "core/downloadnames.h"
#include "platform/transfer.h"
#include "resumerules.h"
#include "services/downloadclaims.h"

DownloadTask::DownloadTask(Clock &clock, QObject *parent) : QObject(parent), clock_(clock) {
    ticker_.setInterval(1000);
    connect(&ticker_, &QTimer::timeout, this, &DownloadTask::tick);
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &DownloadTask::Resume);
}

DownloadTask::~DownloadTask() {
    if (running() && !resumable_) Stop();
    file_.close();  // one that can go on keeps what it has, as its record says
    endTransfer();
}

DownloadRecord DownloadTask::record() const {
    DownloadRecord r;
    r.target = target_;
    r.partial = partial_;
    r.url = url_.toString();
    r.written = written_;
    r.expected = expected_.value_or(-1);
    r.validator = validator_;
    r.page = page_;
    switch (state_) {
        case State::Completed:
            r.end = DownloadRecord::End::Completed;
            break;
        case State::Stopped:
            r.end = DownloadRecord::End::Stopped;
            r.text = fixed_;
            break;
        case State::Failed:
        case State::Idle:
            r.end = DownloadRecord::End::Failed;
            r.text = fixed_;
            break;
        default:  // running, paused or interrupted: it goes on next time if it can
            r.end = resumable_ ? DownloadRecord::End::Interrupted : DownloadRecord::End::Failed;
            r.text = QStringLiteral("下载失败：程序已退出");
    }
    return r;
}

void DownloadTask::Restore(const DownloadRecord &r) {
    target_ = r.target;
    url_ = QUrl(r.url);
    validator_ = r.validator;
    page_ = r.page;
    if (r.expected >= 0) expected_ = r.expected;
    switch (r.end) {
        case DownloadRecord::End::Completed:
            state_ = State::Completed;
            written_ = r.written;
            figure_ = QFileInfo(target_).isFile();
            fixed_ = QStringLiteral("文件已删除");
            if (figure_) suffix_ = QStringLiteral("   下载已完成");
            break;
        case DownloadRecord::End::Interrupted:
            // Its own again: the partial file of the record, or a new one when it went.
            downloadclaims::ClaimTarget(target_);
            partial_ = r.partial;
            if (PlainFileSize(partial_))
                downloadclaims::ClaimTarget(partial_);  // held as any path is
            else
                partial_ = downloadclaims::ClaimPartial(target_);
            written_ = PlainFileSize(partial_).value_or(0);
            state_ = State::Interrupted;
            resumable_ = true;
            figure_ = true;
            suffix_ = QStringLiteral("   已中断");
            break;
        default:
            state_ = r.end == DownloadRecord::End::Stopped ? State::Stopped : State::Failed;
            fixed_ = r.text;
            // What a killed run left of one that cannot go on goes now: its own file only.
            if (PlainFileSize(r.partial) && !downloadclaims::TargetClaimed(r.partial))
                QFile::remove(r.partial);
    }
    emit Changed();
}

void DownloadTask::Start(const QString &target, const QUrl &url, Transfer *transfer) {
    target_ = FittedPath(target);  // its partial file's name must fit too
    url_ = url;
    downloadclaims::ClaimTarget(target_);
    replaces_ = FileIdentity(target_);  // the file the user chose to replace, if any
    state_ = State::Requesting;
    adopt(transfer);
    writing_ = qobject_cast<WritingTransfer *>(transfer);
    if (writing_) {
        page_ = true;
        partial_ = downloadclaims::ClaimEnginePartial(target_);
        writing_->SetFile(landing());
        // Broken off, it can only go on by a request of its own: over HTTP, from the part.
        resumable_ = make_ && (url.scheme() == QLatin1String("http") ||
                               url.scheme() == QLatin1String("https"));
    } else {
        partial_ = downloadclaims::ClaimPartial(target_);
    }
    started_ = clock_.steadyMs();
    rate_.sample(0, 0);
    ticker_.start();
    transfer_->Execute(url);
}

void DownloadTask::adopt(Transfer *transfer) {
    transfer_ = transfer;
    transfer_->setParent(this);
    connect(transfer_, &Transfer::ResponseStarted, this, &DownloadTask::onResponseStarted);
    connect(transfer_, &Transfer::DataAvailable, this, &DownloadTask::onDataAvailable);
    connect(transfer_, &Transfer::Finished, this, &DownloadTask::onFinished);
}

void DownloadTask::onResponseStarted() {
    if (state_ != State::Requesting) return;
    if (writing_) {  // the engine had the response before it offered the file
        written_ = writing_->BytesWritten();
        expected_ = transfer_->ContentLength();
        return transferring();
    }
    // A strong version only: a weak one may not ask for a part.
    const QByteArray etag = transfer_->Header("ETag").trimmed();
    const QByteArray validator =
        etag.startsWith("W/") || etag.isEmpty() ? transfer_->Header("Last-Modified") : etag;
    const resume::Decision d = resume::Judge(
        {offset_, offset_ > 0 ? validator_ : QByteArray(), expected_, page_, wholeAsked_},
        {transfer_->HttpStatus(), transfer_->Header("Content-Range"), transfer_->ContentLength(),
         validator});
    if (d.verdict == resume::Verdict::Fail) return fail(d.reason);
    if (d.verdict == resume::Verdict::AskWhole) return askWhole(d.note);
    if (d.verdict == resume::Verdict::Complete) return complete();
    const resume::FileMode mode = resume::ModeFor(d.verdict, offset_);
    if (d.verdict == resume::Verdict::Write && offset_ > 0) {
        note_ = d.note;
        written_ = offset_ = 0;
    }
    // The chosen name stays as it is (absent, or an older file) until the new one is whole.
    if (!resume::OpenPartial(file_, partial_, mode)) return fail(fileFault(errno));
    expected_ = d.total;
    validator_ = validator;
    resumable_ = transfer_->CanResume() &&
                 (transfer_->Header("Accept-Ranges").contains("bytes") || !validator_.isEmpty());
    transferring();
}

void DownloadTask::transferring() {
    state_ = State::Transferring;
    restartRate();
    emit Changed();
}

// A false answer, or another version of the file: its part goes, the whole is asked for again.
void DownloadTask::askWhole(const QString &note) {
    wholeAsked_ = true;
    note_ = note;
    QFile::remove(partial_);
    written_ = offset_ = 0;
    emit Changed();
    transfer_->ExecuteFrom(url_, 0, {});
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
    if (state_ == State::Paused && writing_) state_ = State::Transferring;  // it ended meanwhile
    if (state_ == State::Requesting && ok) {
        const bool asked = wholeAsked_;
        onResponseStarted();
        if (wholeAsked_ != asked) return;  // the whole is asked for anew: this answer is done
    }
    const QString why = error.isEmpty() ? QStringLiteral("连接中断") : error;
    if (state_ == State::Requesting) return offset_ > 0 ? interrupt(why) : fail(why);
    if (state_ != State::Transferring) return;
    if (writing_) {
        written_ = writing_->BytesWritten();
        return ok ? complete() : interrupt(why);
    }
    writeBlocks(true);
    if (state_ != State::Transferring) return;
    // All that came has been written: complete only when it is all there was to come.
    if (ok && (!expected_ || written_ == *expected_))
        complete();
    else
        interrupt(why);
}

// Whole blocks as they arrive; the last, shorter block once the body has ended. The reply is
// read until it is empty every time: only a read that finds it empty lets the transfer fetch
// more, so a short tail left waiting would stop it for good. The tail waits here instead.
void DownloadTask::writeBlocks(bool drain) {
    char piece[64 * 1024];
    for (qint64 n; (n = transfer_->Read(piece, sizeof piece)) > 0;) waiting_.append(piece, n);
    qsizetype at = 0;
    while (state_ == State::Transferring) {
        // Never past the size the answer gave: more than that is no part of the file.
        const qint64 n = std::min<qint64>(
            {waiting_.size() - at, kBlockSize, expected_ ? *expected_ - written_ : kBlockSize});
        if (n == 0 || (n < kBlockSize && !drain)) break;
        if (file_.write(waiting_.constData() + at, n) != n) return fail(fileFault(errno));
        at += n;
        written_ += n;
        retries_ = 0;  // it moves again: a later break gets its tries afresh
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
        return interrupt(QStringLiteral("服务器无响应 (%1 秒)").arg(kStallMs / 1000));
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
    if (!land()) return fail(fileFault(errno));
    downloadclaims::Release(target_, partial_);
    state_ = State::Completed;
    ticker_.stop();
    endTransfer();
    shownRate_.reset();  // a finished task shows its figure
    suffix_ = QStringLiteral("   下载已完成");
    emit Changed();
    emit Completed();
}

// The name takes the file where nothing is there, or over what the user chose to replace when
// the task began; a file that came there since (or that a task of an earlier run finds) is not
// the task's to replace: the file takes a free name then, as a new download's would.
bool DownloadTask::land() {
    const QString from = landing(), chosen = target_;
    if (from == target_) return true;
    if (replaces_ && FileIdentity(target_) == replaces_) return ReplaceFile(from, target_);
    while (!MoveToFreeName(from, target_)) {
        if (errno != EEXIST) return false;
        downloadclaims::Release(target_, QString());
        target_ = downloadclaims::FreeTarget(chosen);
        downloadclaims::ClaimTarget(target_);
    }
    return true;
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

void DownloadTask::interrupt(const QString &reason) {
    if (writing_) {
        if (writing_->FileFault() || !takeOver()) return fail(reason);
    } else if (!resumable_) {
        return fail(reason);
    } else if (state_ == State::Transferring) {
        writeBlocks(true);  // every byte that came is in the file the next request adds to
        if (state_ != State::Transferring) return;
    }
    file_.close();
    if (transfer_) transfer_->Cancel();
    ticker_.stop();
    state_ = State::Interrupted;
    static constexpr int kDelays[kRetries] = {2, 8, 30};
    if (retries_ < kRetries) {
        const int seconds = kDelays[retries_++];
        retry_.start(seconds * 1000);
        suffix_ = QStringLiteral("   %1，%2 秒后重试").arg(reason).arg(seconds);
    } else {
        suffix_ = QStringLiteral("   已中断：%1").arg(reason);
    }
    figure_ = true;
    shownRate_.reset();
    emit Changed();
}

// The engine's file is renamed onto what precedes its suffix by the engine itself.
QString DownloadTask::landing() const {
    return writing_ ? partial_.chopped(int(sizeof ".download") - 1) : partial_;
}

// A page's download the engine gave up, or one of an earlier run: the rest comes by a ranged
// request of the task's own (with the pages' cookies), into the engine's part moved to a name
// of the task's own first, as the engine's cancel removes its file.
bool DownloadTask::takeOver() {
    if (!writing_ || !resumable_) return false;
    const QString engines = partial_;
    partial_ = downloadclaims::ClaimPartial(target_);
    if (!QFile::rename(engines, partial_)) QFile::remove(engines);
    downloadclaims::ClaimTarget(target_);
    downloadclaims::Release(target_, engines);
    endTransfer();
    written_ = PlainFileSize(partial_).value_or(0);
    validator_.clear();   // the engine does not say which version it had
    return written_ > 0;  // nothing to go on from: it would be fetched whole again
}

void DownloadTask::Hold() {
    if (!writing_ || !(running() || state_ == State::Paused)) return;
    if (writing_->Landed()) return complete();
    takeOver();  // an empty part comes back too, to start from nothing when asked
    ticker_.stop();
    state_ = State::Interrupted;
}

bool DownloadTask::CanPause() const {
    return state_ == State::Transferring && (writing_ ? writing_->Pausable() : resumable_);
}

void DownloadTask::Pause() {
    if (!CanPause()) return;
    if (writing_) {  // the engine holds it, connection and all
        writing_->SetPaused(true);
    } else {
        writeBlocks(true);
        if (state_ != State::Transferring) return;
        file_.close();
        transfer_->Cancel();
    }
    ticker_.stop();
    state_ = State::Paused;
    figure_ = true;
    shownRate_.reset();
    suffix_ = QStringLiteral("   已暂停");
    emit Changed();
}

// On from the partial file's end; a file that went meanwhile starts again from nothing.
void DownloadTask::Resume() {
    if (!resumable()) return;
    retry_.stop();
    if (writing_) {
        writing_->SetPaused(false);
        return goOn(State::Transferring);
    }
    offset_ = written_ = resume::StartAt(written_, PlainFileSize(partial_), expected_);
    if (offset_ == 0) QFile::remove(partial_);
    if (!transfer_) {  // a task of an earlier run
        if (!make_) return;
        adopt(make_());
    }
    goOn(State::Requesting);
    transfer_->ExecuteFrom(url_, offset_, validator_);
}

void DownloadTask::goOn(State state) {
    state_ = state;
    suffix_.clear();
    restartRate();
    ticker_.start();
    emit Changed();
}

// The speed counts what this transfer brings, from now: never what came while the save
// dialog was open, nor the part a resume starts from.
void DownloadTask::restartRate() {
    started_ = clock_.steadyMs();
    rate_ = RateMeter();
    rate_.sample(0, written_);
}

void DownloadTask::Stop() {
    if (running() || resumable()) end(State::Stopped, QStringLiteral("下载已停止"));
}

// A part of a file is no file: it goes with the task's end.
void DownloadTask::end(State state, const QString &text) {
    state_ = state;
    retry_.stop();
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
    if (running() || resumable()) {
        Stop();  // the transfer must not go on into a file the user deleted
        return true;
    }
    return state_ == State::Completed && QFile::remove(target_);
}

QString DownloadTask::progressText(bool withSpeed) const {
    if (!figure_) return fixed_ + suffix_;
    if (resumable()) return ProgressDetail(written_, expected_, std::nullopt) + note_ + suffix_;
    if (!shownRate_) return ProgressText(written_) + note_ + suffix_;
    return ProgressDetail(written_, expected_, shownRate_, withSpeed) + note_ + suffix_;
}

int DownloadTask::barWidth(int track) const {
    if (state_ == State::Stopped) return 1;
    // A failure fills the track (in the fault colour): seen at a glance, however early.
    if (state_ == State::Failed || (state_ == State::Completed && !expected_)) return track;
    return qMax(1, BarWidth(written_, expected_, track).value_or(1));
}
