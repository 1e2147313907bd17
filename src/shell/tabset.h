#pragma once
// The tabs: their windows stacked under the tab strip, the empty page while there is none,
// which one is in front, the ones closed last (for Ctrl+Shift+T), and the commands that
// move between them, close some or bring one back.
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

#include "core/command.h"
#include "core/session.h"
#include "platform/transfer.h"
#include "tab/form1.h"

class EmptyPage;
class Platform;
class QMimeData;
class QStackedWidget;
class QWidget;
class TabStrip;

class TabSet : public QObject, private TabHost {
    Q_OBJECT
  public:
    // Where a page's files go: the download manager.
    using Downloads =
        std::function<void(const QString &path, const QString &url, Transfer *, bool offTheRecord)>;
    // The strip and the body are made here, for the frame to lay out.
    TabSet(Platform &platform, Downloads downloads, QWidget *parent);
    TabStrip *strip() const { return strip_; }
    QWidget *body() const { return body_; }

    // Created and loaded, not yet shown in front; in the background: after the active tab,
    // which stays active, and after those opened behind from it since it came to the front.
    // at: its place in the strip, when it has one.
    Form1 *create(bool background = false, std::optional<int> at = std::nullopt,
                  bool offTheRecord = false);
    void show(Form1 *tab);
    void close(Form1 *tab);
    Form1 *active() const;
    bool frontHolds(QObject *target) const;  // the front page's widgets or lock panel
    QList<Form1 *> all() const;
    QList<Form1 *> kept() const;  // those that keep a trace, in their order
    int count() const;
    // A new tab in front: the bundled start page ("IEHomePage"), the last page ("OnOpen"),
    // or "HomePage" once a tab was made before (the first new tab of a run opens empty).
    Form1 *openNew(bool offTheRecord = false);
    Form1 *openOn(const QString &address);
    Form1 *openHome();
    void openBlockedPopups();  // those the front page was refused, once the user asks
    // A tab at a place with the given back and forward history (its address when there is
    // none), locked from the start when asked (the lock travels with the page).
    Form1 *openWithHistory(int at, const QString &url, const QByteArray &history, bool locked,
                           bool offTheRecord);
    // A kept session's tabs, after the last: the one in front loads, the others wait until
    // they are first shown.
    void restore(const QList<SessionTab> &pages, int front);

    // The tab-list commands: next, previous, by number, close others or those to the right,
    // reopen the last closed, duplicate.
    Ran Execute(Command command, int value);

  signals:
    void Created(Form1 *tab);  // before it loads
    void Closing(Form1 *tab);
    void ActiveChanged(Form1 *tab);  // none when the last one closed
    void NewTabRequested();          // from the empty page or the strip's empty part
    // What the front tab's page does; the others' status, progress and history stay theirs.
    void ActiveStatus(const QString &text);
    void ActiveProgress(int progress, int progressMax);
    void ActiveTitleChanged();
    void ActiveHistoryChanged();
    void ActiveFindResult(int active, int total);
    void ActiveSecurityChanged();
    // What any tab's page does; front: it is the tab in front. listed: the address may join
    // the address box's list (not a locked page's, nor a private one's).
    void AddressReached(const QString &url, bool front, bool listed);
    void PageLoaded(const QString &zoom, bool front);
    void LockChanged(Form1 *tab);
    // For the recorders (history, session, the last page): only of tabs that keep a trace; a
    // private tab's are never emitted.
    void Visited(Form1 *tab);   // a page loaded in it
    void Retitled(Form1 *tab);  // its page's title changed
    void IconChanged(Form1 *tab);
    void KeptClosing(Form1 *tab);
    void Moved();                                   // dragged to another place in the strip
    void PrivateEnded();                            // the last private tab closed
    void FullScreenRequested(Form1 *tab, bool on);  // only the front page may take the screen
    void FilesDropped(const QStringList &paths);    // on the strip, for the frame to open
    void Refused(const QString &why);               // a command the tab refuses, to be said

  private:
    Form1 *openTab(bool background, bool offTheRecord) override;
    bool download(const QString &path, const QString &url, Transfer *transfer,
                  bool offTheRecord) override;
    void wire(Form1 *t);
    void follow(Form1 *t);
    Form1 *tabAt(int index) const;
    void showEmptyPage();
    void remember(Form1 *tab);
    void openDropped(QWidget *onto, int at, const QMimeData *data);

    Platform &platform_;
    Downloads downloads_;
    TabStrip *strip_;
    QWidget *body_;
    QStackedWidget *children_;
    EmptyPage *emptyPage_;
    struct ClosedTab {
        QString url;
        QByteArray history;
        bool locked;        // what reopens it reopens it locked
        int at;             // its place in the strip
        bool offTheRecord;  // kept only while a private tab is open
    };
    QList<ClosedTab> closed_;                   // the last ones, for Ctrl+Shift+T
    QString homePage_;                          // "HomePage" when the last tab was made
    QList<QMetaObject::Connection> following_;  // to the front tab
    QPointer<Form1> runFrom_, runLast_;         // the front tab, and the last opened behind from it
};
