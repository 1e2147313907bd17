#include "enginetransfer.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Why the engine's download ended early, in words a user knows.
QString FailureText(QWebEngineDownloadRequest::DownloadInterruptReason r) {
    using R = QWebEngineDownloadRequest;
    switch (r) {
        case R::FileNoSpace:
            return QStringLiteral("磁盘空间不足");
        case R::FileNameTooLong:
        case R::FileTooLarge:
            return QStringLiteral("文件名过长");
        case R::FileAccessDenied:
        case R::FileFailed:
        case R::FileTransientError:
            return QStringLiteral("无法写入目标文件夹");
        case R::NetworkTimeout:
        case R::NetworkServerDown:
        case R::ServerUnreachable:
            return QStringLiteral("服务器无响应");
        case R::ServerBadContent:
        case R::ServerFailed:
        case R::ServerUnauthorized:
        case R::ServerCertProblem:
        case R::ServerForbidden:
            return QStringLiteral("服务器错误");
        default:
            return QStringLiteral("连接中断");
    }
}

}  // namespace

// Whether a download has ended, and well. An interrupted one counts as failed: the engine
// would keep it to resume, and nothing here resumes it.
std::optional<bool> EngineTransfer::Outcome(QWebEngineDownloadRequest::DownloadState state) {
    switch (state) {
        case QWebEngineDownloadRequest::DownloadCompleted:
            return true;
        case QWebEngineDownloadRequest::DownloadCancelled:
        case QWebEngineDownloadRequest::DownloadInterrupted:
            return false;
        default:
            return std::nullopt;
    }
}

// Where the engine writes a download it keeps.
void EngineTransfer::SaveTo(QWebEngineDownloadRequest *request, const QString &path) {
    const QFileInfo target(path);
    request->setDownloadDirectory(target.absolutePath());
    request->setDownloadFileName(target.fileName());
}

void EngineTransfer::Execute(const QUrl &, Method) {
    if (!request_ || file_.isEmpty()) return;
    follow();
    // The engine had the response before it offered the file.
    QMetaObject::invokeMethod(this, &Transfer::ResponseStarted, Qt::QueuedConnection);
}

void EngineTransfer::follow() {
    SaveTo(request_, file_);
    connect(request_, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            &Transfer::DataAvailable);
    connect(request_, &QWebEngineDownloadRequest::stateChanged, this,
            [this](QWebEngineDownloadRequest::DownloadState state) {
                if (const auto ok = Outcome(state))
                    emit Finished(*ok, *ok ? QString() : FailureText(request_->interruptReason()));
            });
    request_->accept();
}

void EngineTransfer::Resumed(QWebEngineDownloadRequest *request) {
    if (!request_) return request->cancel();  // its task has given it up
    request_->disconnect(this);
    request_ = request;
    follow();
    emit DataAvailable();
}

void EngineTransfer::Cancel() {
    if (!request_) return;
    request_->disconnect(this);
    // An interrupted download still holds its partial file, under the engine's suffix while it
    // writes: the cancel removes both. One the engine has renamed onto its name is whole, even
    // before its request says so: a cancel then would remove the file.
    if (request_->state() != QWebEngineDownloadRequest::DownloadCompleted && !Landed()) {
        request_->cancel();
        QFile::remove(file_ + QStringLiteral(".download"));
    }
    request_.clear();
}

// The engine numbers the file's faults below the network's, the server's and the user's.
bool EngineTransfer::FileFault() const {
    using R = QWebEngineDownloadRequest;
    const R::DownloadInterruptReason r = request_ ? request_->interruptReason() : R::NoReason;
    return r > R::NoReason && r < R::NetworkFailed;
}

bool EngineTransfer::Landed() const {
    return request_ && request_->receivedBytes() > 0 &&
           !QFileInfo::exists(file_ + QStringLiteral(".download")) && QFileInfo::exists(file_);
}

bool EngineTransfer::Pausable() const {
    return request_ && request_->state() == QWebEngineDownloadRequest::DownloadInProgress;
}

void EngineTransfer::SetPaused(bool paused) {
    if (!Pausable()) return;
    if (paused)
        request_->pause();
    else
        request_->resume();
}

std::optional<qint64> EngineTransfer::ContentLength() const {
    if (!request_ || request_->totalBytes() <= 0) return std::nullopt;  // 0: not known
    return request_->totalBytes();
}
