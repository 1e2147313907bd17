#pragma once
// The one object through which windows reach the web engine, dialogs and the system.
// The program hands windows the real one; widget tests hand them fakes.
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "core/clock.h"
#include "core/programfolder.h"
#include "core/tabrest.h"
#include "history.h"
#include "permissions.h"

class Desktop;
class Dialogs;
class KeyState;
class QObject;
class Transfer;
class QWidget;
class WebView;

class Platform {
  public:
    virtual ~Platform();
    // offTheRecord: on the private profile, which keeps nothing on disk and lives while any
    // view on it does.
    virtual WebView *createWebView(QWidget *parent, bool offTheRecord = false) = 0;
    // Starts the web engine ahead of the first view, so it comes up while the frame is shown.
    virtual void prepareWebEngine() {}
    // What the web profile keeps of the user's browsing, to be cleared.
    enum BrowsingData {
        History = 1,  // visited links and every tab's back and forward list
        Cache = 2,
        Cookies = 4,
    };
    virtual void ClearBrowsingData(int what) = 0;
    // The browsing history only, the engine's and ours (ours since that time, in ms), and
    // whatever else keeps it (the download list): the cookies and the cache stay. Every way
    // of clearing comes here, so each clears the same.
    void ClearTracks(qint64 since = 0) {
        ClearBrowsingData(History);
        history_.ClearSince(since);
        for (const auto &clear : alsoClear_) clear();
    }
    // What keeps tracks of its own, cleared with them; guard: its keeper, gone with it.
    void alsoClearTracks(QObject *guard, std::function<void()> clear) {
        alsoClear_.push_back([g = QPointer<QObject>(guard), clear = std::move(clear)] {
            if (g) clear();
        });
    }
    // The pages visited, once the frame has opened it.
    class History &history() {
        return history_;
    }
    // An HTTP GET for downloads and the update check, through the system's proxy, with the
    // web pages' user agent and cookies.
    virtual Transfer *createTransfer(QObject *parent) = 0;
    virtual Dialogs &dialogs() = 0;
    virtual Desktop &desktop() = 0;
    virtual KeyState &keys() = 0;
    // The clock of parental control, download speeds and stalls.
    virtual Clock &clock() { return clock_; }
    // What memory the system can still give the tabs.
    virtual tabrest::Memory memory();
    // Answers to the features pages ask for, per site, for this session.
    PermissionMemory &permissions() { return permissions_; }

  private:
    Clock clock_;
    PermissionMemory permissions_;
    class History history_;
    std::vector<std::function<void()>> alsoClear_;
};

// Qt WebEngine with its profile under the program's data folder, Qt dialogs, X11 keys.
std::unique_ptr<Platform> makeSystemPlatform();
