#include "httpserver.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

TestHttpServer::TestHttpServer() : server_(new QTcpServer(this)) {
    server_->listen(QHostAddress::LocalHost, 0);
    connect(server_, &QTcpServer::newConnection, this, &TestHttpServer::serve);
}

TestHttpServer::~TestHttpServer() = default;

quint16 TestHttpServer::port() const {
    return server_->serverPort();
}

QString TestHttpServer::url(const QString &path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void TestHttpServer::route(const QString &path, const Response &response) {
    routes_.insert(path, response);
}

void TestHttpServer::page(const QString &path, const QString &title, const QString &body) {
    Response r;
    r.body = QStringLiteral(
                 "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>"
                 "</head><body>%2</body></html>")
                 .arg(title, body)
                 .toUtf8();
    route(path, r);
}

void TestHttpServer::serve() {
    while (QTcpSocket *s = server_->nextPendingConnection()) {
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QTcpSocket::readyRead, this, [this, s] {
            const QByteArray buf = s->property("buf").toByteArray() + s->readAll();
            const qsizetype headEnd = buf.indexOf("\r\n\r\n");
            const qsizetype lengthAt = buf.toLower().indexOf("\r\ncontent-length:");
            const qint64 bodyLength =
                lengthAt < 0 || lengthAt > headEnd
                    ? 0
                    : buf.mid(lengthAt + 17, buf.indexOf("\r\n", lengthAt + 2) - lengthAt - 17)
                          .trimmed()
                          .toLongLong();
            // The whole request, body too, before the answer: a close with unread data
            // would reset the connection.
            if (headEnd < 0 || buf.size() < headEnd + 4 + bodyLength) {
                s->setProperty("buf", buf);
                return;
            }
            s->setProperty("buf", QByteArray());
            const QList<QByteArray> line = buf.left(buf.indexOf("\r\n")).split(' ');
            QString path = line.size() > 1 ? QString::fromUtf8(line[1]) : QString("/");
            // As a proxy is asked: the whole address on the request line.
            if (path.startsWith("http://")) path = QUrl(path).path();
            requests << path;
            requestHeads << buf.left(headEnd);
            requestBodies << buf.mid(headEnd + 4, bodyLength);
            const auto it = routes_.constFind(path);
            Response r;
            if (it == routes_.constEnd()) {
                r.status = 404;
                r.body = "<html><head><title>404</title></head><body>not found</body></html>";
            } else {
                r = *it;
            }
            if (!r.method.isEmpty() && line.value(0) != r.method) {
                r = Response();
                r.status = 405;
            } else if (!r.requireCookie.isEmpty() && !buf.contains("Cookie: ")) {
                r = Response();
                r.status = 403;
            } else if (!r.requireCookie.isEmpty()) {
                const qsizetype at = buf.indexOf("\r\nCookie: ");
                const QByteArray cookies = buf.mid(at, buf.indexOf("\r\n", at + 2) - at);
                if (at < 0 || !cookies.contains(r.requireCookie)) {
                    r = Response();
                    r.status = 403;
                }
            }
            if (!r.requireLogin.isEmpty() &&
                !buf.contains("\r\nAuthorization: Basic " + r.requireLogin.toBase64() + "\r\n")) {
                r = Response();
                r.status = 401;
                r.headers = {{"WWW-Authenticate", "Basic realm=\"Test area\""}};
                r.body = "<title>401</title>no";
            }
            if (r.once && requests.count(path) > 1) {
                r = Response();
                r.status = 410;
            }
            const qsizetype range = buf.indexOf("\r\nRange: bytes=");
            const qsizetype ifRange = buf.indexOf("\r\nIf-Range: ");
            const bool sameVersion =
                ifRange < 0 ||
                buf.mid(ifRange + 12, buf.indexOf("\r\n", ifRange + 2) - ifRange - 12) == r.etag;
            if (r.ranges && range >= 0 && sameVersion) {
                r.from =
                    r.rangeSkew +
                    buf.mid(range + 15, buf.indexOf('-', range + 15) - range - 15).toLongLong();
                r.cutAfter = r.stallAfter = -1;
            }
            if (r.faultOnce && range >= 0) r.cutAfter = r.stallAfter = -1;
            if (line.value(0) == "HEAD") {
                r.cutAfter = 0;
                r.generated = -1;
            }
            if (r.delayMs > 0)
                QTimer::singleShot(r.delayMs, s, [this, s, r] { answer(s, r); });
            else
                answer(s, r);
        });
    }
}

void TestHttpServer::answer(QTcpSocket *s, const Response &r) {
    const int status = r.from > 0 ? 206 : r.status;
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(status) + (status < 400 ? " OK" : " Error") + "\r\n";
    head += "Content-Type: " + r.contentType + "\r\nConnection: close\r\n";
    if (r.ranges) head += "Accept-Ranges: bytes\r\n";
    if (!r.etag.isEmpty()) head += "ETag: " + r.etag + "\r\n";
    const qint64 end = r.from > 0 ? qMin(r.generated, r.generated + r.totalSkew) : r.generated;
    if (r.from > 0)
        head += "Content-Range: bytes " + QByteArray::number(r.from) + '-' +
                QByteArray::number(end - 1) + '/' + QByteArray::number(r.generated + r.totalSkew) +
                "\r\n";
    if (r.chunkBytes > 0)
        head += "Transfer-Encoding: chunked\r\n";
    else if (r.generated >= 0)
        head += "Content-Length: " + QByteArray::number(end - r.from) + "\r\n";
    else if (r.withLength)
        head += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
    for (const auto &h : r.headers) head += h.first + ": " + h.second + "\r\n";
    s->write(head + "\r\n");
    if (r.generated >= 0) return stream(s, r);
    if (r.stallAfter >= 0) {
        s->write(r.body.left(r.stallAfter));
        if (r.closeAfterMs >= 0) QTimer::singleShot(r.closeAfterMs, s, [s] { s->abort(); });
        return;
    }
    s->write(r.cutAfter >= 0 ? r.body.left(r.cutAfter) : r.body);
    s->disconnectFromHost();
}

QByteArray TestHttpServer::Generated(qint64 offset, qint64 n) {
    QByteArray b(n, Qt::Uninitialized);
    for (qint64 i = 0; i < n; ++i) {
        const quint64 at = quint64(offset + i);
        b[i] = char((at * 2654435761u) >> 11 ^ at >> 20);
    }
    return b;
}

// A large body in pieces as the socket takes them, so memory stays small; with a pause, one
// piece at a time.
void TestHttpServer::stream(QTcpSocket *s, const Response &r) {
    const qint64 piece = r.chunkBytes > 0 ? r.chunkBytes : 256 * 1024;
    auto *pump = new QTimer(s);
    pump->setSingleShot(true);
    pump->setInterval(r.pauseMs);
    // A cut closes the connection there; a stall sends nothing more and keeps it open.
    const qint64 whole = r.from > 0 ? qMin(r.generated, r.generated + r.totalSkew) : r.generated;
    const qint64 end = r.cutAfter >= 0 ? r.cutAfter : r.stallAfter >= 0 ? r.stallAfter : whole;
    connect(pump, &QTimer::timeout, s, [s, r, piece, pump, end, whole, sent = r.from]() mutable {
        while (s->bytesToWrite() < 4 * piece && sent < end) {
            const QByteArray data = Generated(sent, qMin(piece, end - sent));
            sent += data.size();
            if (r.chunkBytes > 0)
                s->write(QByteArray::number(data.size(), 16) + "\r\n" + data + "\r\n");
            else
                s->write(data);
            if (r.pauseMs > 0) break;
        }
        if (sent < end) {
            if (r.pauseMs > 0) pump->start();
            return;
        }
        if (end < whole) {
            pump->disconnect();
            if (r.cutAfter >= 0) s->disconnectFromHost();  // what was sent arrives, then the end
            return;
        }
        if (r.chunkBytes > 0) s->write("0\r\n\r\n");
        pump->disconnect();
        s->disconnectFromHost();
    });
    if (r.pauseMs == 0) connect(s, &QTcpSocket::bytesWritten, pump, [pump] { pump->start(); });
    pump->start();
}
