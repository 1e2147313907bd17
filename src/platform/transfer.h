#pragma once
// One HTTP request whose body is read in blocks as it arrives. The download task talks to
// this, never to the network library, so it runs against real servers and a fake alike.
#include <QObject>
#include <QUrl>
#include <optional>

class Transfer : public QObject {
    Q_OBJECT
  public:
    enum class Method { Get, Head };
    using QObject::QObject;
    ~Transfer() override;

    virtual void Execute(const QUrl &url, Method method = Method::Get) = 0;
    // Whether the transfer can ask for the body again from a byte on (the engine's own
    // download cannot).
    virtual bool CanResume() const { return false; }
    // A GET again, of the body from byte `from` on while the resource is still the one the
    // validator names (its ETag or Last-Modified): 206 when the server can, 200 with all of it
    // when it cannot or the resource changed. The transfer before it is cancelled.
    virtual void ExecuteFrom(const QUrl &url, qint64 from, const QByteArray &validator) {
        Q_UNUSED(from);
        Q_UNUSED(validator);
        Execute(url);
    }
    virtual void Cancel() = 0;           // no more signals after this
    virtual int HttpStatus() const = 0;  // 0 until the response has begun
    virtual std::optional<qint64> ContentLength() const = 0;
    // A response header as the server sent it; empty when it sent none.
    virtual QByteArray Header(const QByteArray &name) const = 0;
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
    void DataAvailable();    // more to read, or more written for a WritingTransfer
    // The transfer ended: ok when the whole body arrived, otherwise why not.
    void Finished(bool ok, const QString &error);
};

// A transfer that writes its file itself (the web engine's own download of a form's post or a
// script's blob): the task names the file before Execute and follows the count; nothing is
// ever there to read.
class WritingTransfer : public Transfer {
    Q_OBJECT
  public:
    using Transfer::Transfer;
    virtual void SetFile(const QString &path) = 0;
    virtual qint64 BytesWritten() const = 0;
    // Held where it is and let go again, the connection kept (the engine's own pause).
    virtual bool Pausable() const { return false; }
    // Whole under its name already, though the end has not been signalled yet.
    virtual bool Landed() const { return false; }
    // It ended on the file's side (a full disk, no right to write): nothing to go on from.
    virtual bool FileFault() const { return false; }
    virtual void SetPaused(bool paused) { Q_UNUSED(paused); }
    QByteArray Header(const QByteArray &) const override { return {}; }
    qint64 BytesAvailable() const override { return 0; }
    QByteArray GetChunk(qint64) override { return {}; }
};
