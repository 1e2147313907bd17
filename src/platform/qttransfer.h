#pragma once
#include <QPointer>

#include "transfer.h"

class QNetworkAccessManager;
class QNetworkReply;

class QtTransfer : public Transfer {
    Q_OBJECT
  public:
    // userAgent: the web pages' own, so servers answer downloads as they answer the pages.
    QtTransfer(QNetworkAccessManager *network, const QByteArray &userAgent, QObject *parent);
    ~QtTransfer() override;
    void Execute(const QUrl &url, Method method) override;
    bool CanResume() const override { return true; }
    void ExecuteFrom(const QUrl &url, qint64 from, const QByteArray &validator) override;
    void Cancel() override;
    int HttpStatus() const override;
    std::optional<qint64> ContentLength() const override;
    QByteArray Header(const QByteArray &name) const override;
    qint64 BytesAvailable() const override;
    QByteArray GetChunk(qint64 maxBytes) override;
    qint64 Read(char *data, qint64 maxBytes) override;

  private:
    void start(const QUrl &url, Method method, qint64 from, const QByteArray &validator);
    QNetworkAccessManager *network_;
    QByteArray userAgent_;
    QPointer<QNetworkReply> reply_;
    bool started_ = false;
};
