#include "qttransfer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {
constexpr qint64 kReadBuffer = 1 << 20;
// A question about a name must not keep the user waiting on a dead server.
constexpr int kHeadTimeoutMs = 5000;

// Why a fetch ended early, in words a user knows; an HTTP error status is said by its code.
QString FailureText(QNetworkReply::NetworkError e) {
    switch (e) {
        case QNetworkReply::TooManyRedirectsError:
        case QNetworkReply::InsecureRedirectError:
            return QStringLiteral("重定向次数过多");
        case QNetworkReply::ConnectionRefusedError:
        case QNetworkReply::HostNotFoundError:
        case QNetworkReply::TimeoutError:
        case QNetworkReply::ProxyConnectionRefusedError:
        case QNetworkReply::ProxyNotFoundError:
        case QNetworkReply::ProxyTimeoutError:
            return QStringLiteral("服务器无响应");
        default:
            return QStringLiteral("连接中断");
    }
}
}  // namespace

QtTransfer::QtTransfer(QNetworkAccessManager *network, const QByteArray &userAgent, QObject *parent)
    : Transfer(parent), network_(network), userAgent_(userAgent) {}

QtTransfer::~QtTransfer() {
    Cancel();
}

void QtTransfer::Execute(const QUrl &url, Method method) {
    start(url, method, 0, {});
}

void QtTransfer::ExecuteFrom(const QUrl &url, qint64 from, const QByteArray &validator) {
    Cancel();
    start(url, Method::Get, from, validator);
}

void QtTransfer::start(const QUrl &url, Method method, qint64 from, const QByteArray &validator) {
    started_ = false;
    QNetworkRequest request(url);
    if (from > 0) {
        request.setRawHeader("Range", "bytes=" + QByteArray::number(from) + '-');
        if (!validator.isEmpty()) request.setRawHeader("If-Range", validator);
    }
    if (method == Method::Head) request.setTransferTimeout(kHeadTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    if (!userAgent_.isEmpty()) request.setRawHeader("User-Agent", userAgent_);
    // The bytes as the server keeps them: a range counts those, never a decoded body's.
    if (method == Method::Get) request.setRawHeader("Accept-Encoding", "identity");
    reply_ = method == Method::Head ? network_->head(request) : network_->get(request);
    // What has arrived but not been read is held here: the server waits for us beyond it,
    // so memory does not grow with the file.
    reply_->setReadBufferSize(kReadBuffer);
    // A handler may ask again (ExecuteFrom) while this reply still speaks: an answer given up
    // says nothing more, as after Cancel.
    QNetworkReply *reply = reply_;
    auto started = [this, reply] {
        if (started_ || reply_ != reply) return;
        started_ = true;
        emit ResponseStarted();
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, started] {
        // Redirects announce themselves too; the body's response is the one with content.
        const int status = HttpStatus();
        if (status < 300 || status >= 400) started();
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply, started] {
        started();
        if (reply_ == reply) emit DataAvailable();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, started] {
        const bool ok = reply->error() == QNetworkReply::NoError;
        const QString error = ok ? QString() : FailureText(reply->error());
        if (ok || HttpStatus() != 0) started();  // an empty body never says readyRead
        if (reply_ == reply) emit Finished(ok, error);
    });
}

void QtTransfer::Cancel() {
    if (!reply_) return;
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
    reply_.clear();
}

int QtTransfer::HttpStatus() const {
    return reply_ ? reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
}

std::optional<qint64> QtTransfer::ContentLength() const {
    if (!reply_ || !reply_->hasRawHeader("Content-Length")) return std::nullopt;
    bool ok = false;
    const qint64 n = reply_->rawHeader("Content-Length").trimmed().toLongLong(&ok);
    if (!ok || n < 0) return std::nullopt;
    return n;
}

QByteArray QtTransfer::Header(const QByteArray &name) const {
    return reply_ ? reply_->rawHeader(name) : QByteArray();
}

qint64 QtTransfer::BytesAvailable() const {
    return reply_ ? reply_->bytesAvailable() : 0;
}

QByteArray QtTransfer::GetChunk(qint64 maxBytes) {
    return reply_ ? reply_->read(maxBytes) : QByteArray();
}

qint64 QtTransfer::Read(char *data, qint64 maxBytes) {
    return reply_ ? qMax<qint64>(0, reply_->read(data, maxBytes)) : 0;
}
