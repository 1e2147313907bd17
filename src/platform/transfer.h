#pragma once
// One HTTP GET whose body is read in blocks as it arrives. The download task talks to
// this, never to the network library, so it runs against real servers and a fake alike.
#include <QObject>
#include <QUrl>
#include <optional>

class Transfer : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~Transfer() override;

    virtual void Execute(const QUrl &url) = 0;  // "get"
    virtual void Cancel() = 0;                  // no more signals after this
    virtual int HttpStatus() const = 0;         // 0 until the response has begun
    virtual std::optional<qint64> ContentLength() const = 0;
    virtual qint64 BytesAvailable() const = 0;
    // Up to maxBytes of what has arrived; empty when nothing is there now.
    virtual QByteArray GetChunk(qint64 maxBytes) = 0;
    // The same into the caller's buffer: the bytes read.
    virtual qint64 Read(char *data, qint64 maxBytes) {
        const QByteArray chunk = GetChunk(maxBytes);
        std::copy(chunk.begin(), chunk.end(), data);
        return chunk.size();
    }

  signals:
    void ResponseStarted();  // status and headers are known
    void DataAvailable();
    // The transfer ended: ok when the whole body arrived, otherwise why not.
    void Finished(bool ok, const QString &error);
};
