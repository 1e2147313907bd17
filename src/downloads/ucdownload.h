#pragma once
// One download: the request, the body written block by block into "<name>.part" and moved
// onto the name once whole, the progress text and bar, the stop link, and the file's icon
// once it is complete.
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "progress.h"

class Dialogs;
class Platform;
class QLabel;

// The progress text: the figure follows every block, the words are drawn when shown.
class ProgressCaption : public QWidget {
  public:
    using QWidget::QWidget;
    void setBytes(qint64 bytes);
    // Sizes, speed and time left in place of the kilobyte figure while the task runs.
    void setDetail(std::optional<qint64> expected, std::optional<double> bytesPerSecond);
    void setText(const QString &text);  // a fixed text instead of the figure
    void appendSuffix(const QString &suffix);
    QString text() const;

  protected:
    void paintEvent(QPaintEvent *) override;

  private:
    std::optional<qint64> bytes_, expected_;
    std::optional<double> rate_;
    QString fixed_ = QStringLiteral("已下载: 0 字节.");
    QString suffix_;
};
class Transfer;

class ucDownload : public QWidget {
    Q_OBJECT
  public:
    enum class State { Idle, Requesting, Transferring, Completed, Stopped, Failed };

    ucDownload(Platform &platform, QWidget *parent);
    ~ucDownload() override;

    // transfer: one already under way (the engine's own fetch) to adopt; otherwise a GET.
    void Download(const QString &fileName, const QString &url, Transfer *transfer = nullptr);
    // Deletes the downloaded file, stopping a running task first: 0 on success, 1 on failure.
    int KillFile();
    void Stop();      // the stop link
    void OpenFile();  // double click on the icon
    State state() const { return state_; }
    qint64 bytesWritten() const { return written_; }
    QString targetPath() const { return targetPath_; }
    // How long a task waits without a byte before it fails.
    static void setStallTimeout(int ms);

    QLabel *Image1, *Label1, *Label3;
    ProgressCaption *Label2;
    QWidget *picPro, *lblPro;

  signals:
    void MouseUp(Qt::MouseButton button);

  protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void onResponseStarted();
    void onDataAvailable();
    void onFinished(bool ok, const QString &error);
    void writeBlocks(bool drain);
    void complete();
    void fail();
    void endTransfer();
    void disableStop();
    void tick();
    void showBytes();
    bool running() const { return state_ == State::Requesting || state_ == State::Transferring; }

    Platform &platform_;
    Transfer *transfer_ = nullptr;
    State state_ = State::Idle;
    QString targetPath_;
    QFile file_;
    std::optional<qint64> expected_;
    qint64 written_ = 0;
    QTimer ticker_;  // speed and stall watch
    QElapsedTimer clock_;
    RateMeter rate_;
};
