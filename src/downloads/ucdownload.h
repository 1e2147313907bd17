#pragma once
// One download's line in the manager: the file's icon, its name, the progress text, the
// stop link and the bar, drawn from its task. Double-clicking the icon opens the file.
#include <QWidget>

#include "downloadtask.h"

class Platform;
class QLabel;
class ProgressCaption;
class Transfer;

class ucDownload : public QWidget {
    Q_OBJECT
  public:
    using State = DownloadTask::State;

    ucDownload(Platform &platform, QWidget *parent);
    ~ucDownload() override;

    // transfer: one already under way (the engine's own fetch) to adopt; otherwise a GET.
    void Download(const QString &fileName, const QString &url, Transfer *transfer = nullptr);
    void Restore(const DownloadRecord &record);  // a task of an earlier run
    // Deletes the downloaded file, stopping a running task first: 0 on success, 1 on failure.
    int KillFile();
    void Stop();        // the stop link
    void OpenFile();    // double click on the icon
    void OpenFolder();  // where it is
    const DownloadTask &task() const { return task_; }
    DownloadTask &control() { return task_; }  // pause, resume, stop
    State state() const { return task_.state(); }
    qint64 bytesWritten() const { return task_.bytesWritten(); }
    QString targetPath() const { return task_.targetPath(); }

  signals:
    void MouseUp(Qt::MouseButton button);

  protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void drawProgress(const DownloadTask &task);
    void draw(const DownloadTask &task);
    void completed();
    void showPath(const QString &path);

    Platform &platform_;
    DownloadTask task_;
    QLabel *Image1, *Label1, *Label3;
    ProgressCaption *Label2;
    QWidget *picPro, *lblPro;
};
