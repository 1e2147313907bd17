#pragma once
// The engine's own download as a transfer: it writes the file itself, the task follows.
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <optional>

#include "transfer.h"

class EngineTransfer : public WritingTransfer {
    Q_OBJECT
  public:
    explicit EngineTransfer(QWebEngineDownloadRequest *request) : request_(request) {}
    void SetFile(const QString &path) override { file_ = path; }
    void Execute(const QUrl &, Method) override;
    // The engine goes on with the download under another request, from where it broke off.
    void Resumed(QWebEngineDownloadRequest *request);
    void Cancel() override;
    int HttpStatus() const override { return 200; }
    std::optional<qint64> ContentLength() const override;
    qint64 BytesWritten() const override { return request_ ? request_->receivedBytes() : 0; }
    bool Landed() const override;
    bool FileFault() const override;
    bool Pausable() const override;
    void SetPaused(bool paused) override;

    // Whether a download has ended, and well; none while it runs.
    static std::optional<bool> Outcome(QWebEngineDownloadRequest::DownloadState state);
    // Where the engine writes a download it keeps.
    static void SaveTo(QWebEngineDownloadRequest *request, const QString &path);

  private:
    void follow();
    QPointer<QWebEngineDownloadRequest> request_;
    QString file_;
};
