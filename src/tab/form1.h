#pragma once
// One tab: a web view with two panels that can cover it, the navigation page picNav
// and the lock panel picPass. The tab tells whoever holds it what its page does, through
// its signals; it knows nothing of the frame.
#include <QStringList>
#include <QWidget>
#include <optional>

#include "core/command.h"
#include "core/session.h"
#include "core/tabrest.h"
#include "platform/webview.h"

class Dialogs;
class Form1;
class LockPanel;
class NavPage;
class NoticePanel;
class PermissionBar;
class PermissionMemory;
class ViewShrink;
class Platform;
class Transfer;
class WebView;

// Whoever holds the tabs: a tab asks it for another and hands it the files to download.
class TabHost {
  public:
    virtual ~TabHost() = default;
    // A new tab, created and loaded: in front, or behind the asking one; private like it.
    virtual Form1 *openTab(bool background, bool offTheRecord) = 0;
    // A file for the download manager, at path; transfer: the engine's own fetch for the task
    // to own, none for a fresh request; offTheRecord: a private tab's. False when nothing
    // took it.
    virtual bool download(const QString &path, const QString &url, Transfer *transfer,
                          bool offTheRecord) = 0;
};

class Form1 : public QWidget, private ViewHost {
    Q_OBJECT
  public:
    // offTheRecord: a private tab (无痕), whose page is kept nowhere.
    Form1(Platform &platform, TabHost &host, bool offTheRecord, QWidget *parent = nullptr);
    ~Form1() override;

    // Load steps: shown, locked or on the navigation page as set.
    void Load();

    QString caption() const { return windowTitle(); }
    // Reloads the navigation tiles from 数据/navi.ini.
    void ReadNav();
    bool isLocked() const;
    bool isPrivate() const;
    // Whether anything of this tab may be kept (history, session, the last page, the address
    // box's list, downloads, passwords): decided once, by its profile. Recorders are wired to
    // the tabs that do, never told about the others.
    bool keepsTrace() const { return !isPrivate(); }
    // Its page may be listed where anyone at the screen sees it: not a locked one's.
    bool listsPage() const { return keepsTrace() && !isLocked(); }
    void setLocked(bool locked);
    // "后退": back leaves the navigation page first, or else goes back in the history.
    bool GoBack();  // false when there was nowhere to go
    // Pop-ups of this page that no click asked for, for the user to open once.
    QStringList takeBlockedPopups();
    bool hasBlockedPopups() const { return !blocked_.isEmpty(); }
    void ToggleNavigationPage();
    bool navigationShown() const;
    // The page's own commands: browsing, the navigation page, print, the lock.
    Ran Execute(Command command);
    // The web view: the page's operations and events.
    WebView *browser() const { return brwWebBrowser; }
    // What the frame asks of the page most.
    QString url() const;
    QString title() const;
    void navigate(const QString &address);
    void goHome();
    bool isLoading() const;
    bool canGoBack() const;
    bool canGoForward() const;
    void setZoom(int percent);
    void exitFullScreen();
    // The back and forward list, for a tab to come back with; none: the address is opened.
    QByteArray savedHistory() const;
    void restoreHistory(const QString &url, const QByteArray &history);
    void focusPage();
    // The deepest rest the tab allows now: its page's, and none while it asks a question.
    tabrest::Rest deepestRest() const;
    // Its rest now, and the rest to take: its view's images go before its page freezes.
    tabrest::Rest restState() const;
    void setRest(tabrest::Rest rest);
    // A new tab's keyboard: the navigation page's search box when it covers the page, else
    // the lock panel's password field; false when neither shows (the address box takes it).
    bool takeKeyboard();
    // The page's own widgets (the engine's included) and its lock panel.
    bool holds(const QObject *widget) const;
    // Opened past a certificate warning, and still on that site.
    bool insecure() const { return !insecureHost_.isEmpty(); }
    // A tab put back from a kept session whose page waits until the tab first shows: no
    // request and no page process before; its caption and icon are the page's meanwhile.
    void rest(const SessionTab &page);
    // In front: the waiting page loads (nothing when none waits), the view drawn at its size.
    void wake();
    // The page as a session keeps it: the waiting one's while it waits.
    SessionTab page() const;
    // The page came back from a kept session: its first load is no new visit. Once.
    bool takeRestored() { return std::exchange(restored_, false); }
    void markRestored() { restored_ = true; }
    // The skin's colours: the lock panel's and the navigation page's, and its tile editor's.
    void setColours(const QColor &cover, const QColor &editor, const QColor &bar);

  signals:
    void StatusTextChanged(const QString &text);
    void ProgressChanged(int progress, int progressMax);
    void CaptionChanged();
    void AddressChanged(const QString &url);
    // The page has loaded and the stored zoom ("150") is applied to it.
    void PageLoaded(const QString &zoom);
    void Closing();  // the tab is leaving its set, said by the set
    // A bookmark file followed in a page: the receiver opens its address in a new tab.
    void BookmarkRequested(const QString &path);
    void IconChanged(const QIcon &icon);
    void HistoryChanged();
    void FindResult(int active, int total);
    void FullScreenRequested(bool on);
    void SecurityChanged();
    void LockChanged();  // locked or unlocked, whoever did it
    // A page a script opened in this tab closed its window: the tab is to close.
    void CloseRequested();

  protected:
    void resizeEvent(QResizeEvent *) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    WebView *brwWebBrowser;
    NavPage *picNav;
    LockPanel *picPass;
    // Made when first needed: most tabs never show them.
    NoticePanel *picNotice = nullptr;        // over the page: its process died, or its certificate
    PermissionBar *picPermission = nullptr;  // above the page: a feature it asks for
    ViewShrink *shrink_;

    NoticePanel *notice();
    PermissionBar *permissionBar();
    void onDownloadComplete();
    void onTitleChange(const QString &text);
    void showIcon(const QIcon &icon);
    void judgeTitle();
    WebView *openWindow(bool background) override;
    DownloadAnswer offerDownload(const DownloadOffer &offer) override;
    void watchEngine();
    void layoutCovers();

    QString blockedText() const;
    TabHost &host_;
    Dialogs &dialogs_;
    PermissionMemory &permissions_;
    static constexpr int kMaxBlockedKept = 20;
    QStringList blocked_;
    QString insecureHost_;       // the site the user went on to past its certificate
    QString asked_;              // the address last asked for, until its page has one
    bool openedByPage_ = false;  // a page's script opened it: the page may close it
    int blockedCount_ = 0;
    std::optional<SessionTab> waiting_;
    bool restored_ = false;
    QByteArray icon_;  // the page's icon, for the session to keep
    QIcon keptIcon_;   // a page put back from a session: its icon as kept
    QString keptFor_;  // its address, while the kept icon stands in for the engine's
};
