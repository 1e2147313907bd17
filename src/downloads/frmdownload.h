#pragma once
// The download manager: one window that stacks a task per download, scrolls them,
// deletes their files, removes them, and asks before it closes.
#include <QMap>
#include <QSet>
#include <QTimer>
#include <QWidget>

class Platform;
class QAction;
class QMenu;
class QScrollBar;
class Transfer;
class ucDownload;

class frmDownload : public QWidget {
    Q_OBJECT
  public:
    frmDownload(Platform &platform, QWidget *parent = nullptr);
    ~frmDownload() override;

    // transfer: one already under way for the task to adopt (the engine's own fetch).
    // offTheRecord: a private tab's, never in the list kept across starts, and forgotten with
    // ForgetOffRecord.
    ucDownload *NewDownload(const QString &fileName, const QString &url,
                            Transfer *transfer = nullptr, bool offTheRecord = false);
    void RestackTasks();
    // Tasks by index (1, 2, ...; gaps after removals).
    const QMap<int, ucDownload *> &tasks() const { return tasks_; }
    int topOf(int index) const;  // twips
    int SelectedTask = 0;
    QScrollBar *Sro;
    QMenu *mnuFile, *mnuP;
    QAction *mnuRetry;  // "重新下载": on a failed or stopped task
    QAction *mnuPause, *mnuResume, *mnuStop, *mnuDeleteFile, *mnuOpen;

    // "新建任务(&N)...": the address, the server's name for it, then where to save it.
    void NewTaskFromAddress();
    void DeleteSelectedFile();  // "删除文件"
    void DeleteSelectedTask();  // "删除任务"
    // The task leaves the list without a question; a running one once it ends.
    void Forget(ucDownload *task);
    // The last private tab closed: its tasks leave, the running ones once they end.
    void ForgetOffRecord();
    void ClearFinished();  // "清除已完成": completed, failed and stopped tasks leave
    // The list kept across starts goes, with the partial files nobody will go on from.
    void ClearRecords();
    static QString RecordsPath();  // 数据/downloads.dat
    // The program ends: running tasks are asked about, the list is kept for the next start.
    void setExiting(bool on) { exiting_ = on; }

  protected:
    void closeEvent(QCloseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

  private:
    ucDownload *add();
    void saveSoon();
    void save();
    void placeAll(const QMap<int, int> &tops);
    void remove(int n);  // the task of this index leaves the list
    void showScrollBar(bool shown);
    void placeColumn();  // the column and the bar across the width
    void updateScrollRange();
    int innerHeight() const;  // twips
    Platform &platform_;
    QWidget *column_;
    QMap<int, ucDownload *> tasks_;
    QMap<int, int> tops_;  // twips
    int highest_ = 0;
    QSet<const ucDownload *> offRecord_;
    QTimer *save_;
    bool exiting_ = false;
    bool saveFailed_ = false;  // said, and not written since
};
