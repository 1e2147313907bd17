#pragma once
// The open tabs, kept in 数据/session.dat within two seconds of a change, and a mark while the
// browser runs (数据/session.running): a mark found at the next start means this run did not
// end normally, and the tabs it left are offered back. At a normal close the session kept is
// the tabs open when the close was confirmed, and the mark goes.
#include <QObject>
#include <QTimer>
#include <optional>

#include "core/session.h"

class TabSet;

class SessionKeeper : public QObject {
    Q_OBJECT
  public:
    SessionKeeper(TabSet *tabs, QObject *parent);
    // At a start that shows the frame: keeps what the last run left and marks this one as
    // running. True when the last run did not end normally and left tabs.
    bool begin();
    bool running() const { return running_; }
    void changed();  // something worth keeping moved: saved within two seconds
    // A normal end: the tabs as they are now, or none when the tracks are cleared.
    void finish(bool clear);
    bool hasPrevious() const { return previous_ && !previous_->tabs.isEmpty(); }
    void restorePrevious();  // the last run's tabs, each as it was, after those open now

  signals:
    void Notice(const QString &text);         // a kept session that could not be read
    void Written(const WriteResult &result);  // each write of the file, and how it went

  private:
    Session collect() const;
    void save();

    TabSet *tabs_;
    QTimer timer_;
    bool running_ = false;
    std::optional<Session> previous_;
    QByteArray written_;  // what the file holds now
};
