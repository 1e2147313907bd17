#pragma once
// The open tabs, kept in 数据/session.dat within two seconds of a change, and a mark while the
// browser runs (数据/session.running): a mark found at the next start means this run did not
// end normally, and the tabs it left are offered back. At a normal close the session kept is
// the tabs open when the close was confirmed, and the mark goes. Tabs offered back after a crash
// are kept in the file, beside this run's, until the user answers: a second crash loses none.
// The last page, which a new tab may open on, is kept here too.
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <optional>

#include "core/session.h"

class Form1;
class TabSet;

class SessionKeeper : public QObject {
    Q_OBJECT
  public:
    // shownAddress: what the address box shows for the front tab.
    SessionKeeper(TabSet *tabs, std::function<QString()> shownAddress, QObject *parent);
    // At a start that shows the frame: keeps what the last run left and marks this one as
    // running. True when the last run did not end normally and left tabs (its own, and those
    // still offered from before). startTab: the page the run opened on its own, which a
    // restore replaces while it is still blank.
    bool begin(Form1 *startTab = nullptr);
    bool running() const { return running_; }
    void changed();  // something worth keeping moved: saved within two seconds
    // A normal end: the tabs as they are now, or none when the tracks are cleared.
    void finish(bool clear);
    bool hasPrevious() const { return previous_ && !previous_->tabs.isEmpty(); }
    // The last run's tabs, each as it was, after those open now: the front one loads, the
    // others when first shown.
    void restorePrevious();
    void dismissPrevious();  // the offer answered with no: nothing kept for later crashes

  signals:
    void Notice(const QString &text);  // a kept session that could not be read
    // A file that could not be written, said once until one is again.
    void WriteFailed(const QString &text);

  private:
    Session collect() const;
    void save();
    void keepLastPage(Form1 *closing);
    void noteWrite(const WriteResult &written);

    TabSet *tabs_;
    std::function<QString()> shownAddress_;
    QTimer timer_;
    bool running_ = false;
    std::optional<Session> previous_;
    bool carrying_ = false;  // previous_ offered and not answered: kept in the file
    QPointer<Form1> startTab_;
    QByteArray written_;        // what the file holds now
    bool writeFailed_ = false;  // said, and not written since
};
