#pragma once
// "导入书签和历史记录": what the other browsers of this user keep, each profile's bookmarks and
// history with their counts, and Netscape bookmark files the user picks. Bookmarks become
// files under 书签/导入/<source>/, the visits join our history. The work goes in small steps,
// so the window answers and a long import can be cancelled; the summary says what was added
// and what was skipped and why.
#include <QDialog>
#include <QList>
#include <QSet>
#include <QTimer>
#include <deque>
#include <memory>
#include <vector>

#include "core/bookmarktree.h"

class Platform;
class ProfileReader;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;

class frmImport : public QDialog {
    Q_OBJECT
  public:
    // bookmarks: the bookmark folder; home: where the other browsers keep their profiles.
    frmImport(Platform &platform, const QString &bookmarks, const QString &home,
              QWidget *parent = nullptr);
    ~frmImport() override;
    static constexpr int kRecentDays = 90;

  protected:
    void reject() override;

  private:
    struct Source;
    struct Job;
    void addSource(std::unique_ptr<Source> source);
    void addHtmlFile();
    void countHistory();
    void start();
    void step();
    void imported(int added);
    void finish();
    qint64 since() const;

    Platform &platform_;
    QString bookmarkFolder_;
    std::vector<std::unique_ptr<Source>> sources_;
    QListWidget *lstSources;
    QComboBox *cboRange;
    QPushButton *cmdHtml, *cmdImport, *cmdClose;
    QProgressBar *barProgress;
    QLabel *lblSummary;

    // The import under way.
    std::vector<Job> jobs_;
    size_t job_ = 0;
    QTimer step_;
    bool running_ = false, cancelled_ = false;
    std::deque<int> writing_;  // the visits of each batch the history has yet to write
    int done_ = 0;             // bookmarks and visits through, for the bar
    int added_ = 0, present_ = 0, repeated_ = 0, unsupported_ = 0, failed_ = 0;
    QSet<QString> seen_;  // the bookmark files this import wrote or found there
    int visitsRead_ = 0, visitsAdded_ = 0, visitsSkipped_ = 0;
    QString writeError_;
    QStringList sourceErrors_;
};
