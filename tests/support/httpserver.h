#pragma once
// A small HTTP server on 127.0.0.1 for end-to-end tests: fixed responses per path,
// with the faults real servers show (early close, no length, error status).
#include <QHash>
#include <QObject>
#include <QStringList>

class QTcpServer;

class TestHttpServer : public QObject {
    Q_OBJECT
  public:
    struct Response {
        int status = 200;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        bool withLength = true;
        qint64 cutAfter = -1;      // close the connection after this many body bytes
        qint64 stallAfter = -1;    // send this many body bytes, then nothing, connection open
        int closeAfterMs = -1;     // with stallAfter: then close the connection after this long
        QByteArray method;         // only this method is answered, others get 405
        int delayMs = 0;           // answer only after this long
        QByteArray requireCookie;  // without this cookie the answer is 403
        QByteArray requireLogin;   // "user:password" for HTTP basic authentication, else 401
        bool once = false;         // a one-time link: any later request gets 410
        qint64 generated = -1;     // instead of body: this many bytes of Generated(), streamed
        qint64 chunkBytes = 0;     // chunked encoding in pieces of this size (no length)
        int pauseMs = 0;           // a pause after each piece: a bursty server
        // "Range: bytes=N-" gets 206 and the rest (If-Range must name the ETag when sent);
        // the cut and the stall are the whole body's only.
        bool ranges = false;
        QByteArray etag;
        bool faultOnce = false;  // the cut or the stall for a request of the whole only
        // A false 206: its range (and bytes) start this far past the byte asked; its total
        // is this far off the file's, the range and bytes ending at the lesser of the two.
        qint64 rangeSkew = 0, totalSkew = 0;
        qint64 from = 0;  // set per request: where a 206 starts
    };
    // The bytes a generated body holds from offset on.
    static QByteArray Generated(qint64 offset, qint64 n);

    TestHttpServer();
    ~TestHttpServer() override;
    quint16 port() const;
    QString url(const QString &path) const;
    void route(const QString &path, const Response &response);
    // An HTML page with the given title and body.
    void page(const QString &path, const QString &title, const QString &body = {});

    QStringList requests;            // request paths in arrival order
    QList<QByteArray> requestHeads;  // whole request heads, for headers sent
    QList<QByteArray> requestBodies;

  private:
    void serve();
    void answer(class QTcpSocket *s, const Response &r);
    void stream(class QTcpSocket *s, const Response &r);
    QTcpServer *server_;
    QHash<QString, Response> routes_;
};
