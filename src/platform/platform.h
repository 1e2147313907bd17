#pragma once
// The one object through which windows reach the web engine, dialogs and the system.
// The program hands windows the real one; widget tests hand them fakes.
#include <memory>

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
    virtual WebView *createWebView(QWidget *parent) = 0;
    // Starts the web engine ahead of the first view, so it comes up while the frame is shown.
    virtual void prepareWebEngine() {}
    // The browsing history: visited links and every tab's back and forward list (not the
    // cookies, not the cache).
    virtual void ClearTracks() {}
    // An HTTP GET for downloads and the update check, through the system's proxy, with the
    // web pages' user agent and cookies.
    virtual Transfer *createTransfer(QObject *parent) = 0;
    virtual Dialogs &dialogs() = 0;
    virtual Desktop &desktop() = 0;
    virtual KeyState &keys() = 0;
};

// Qt WebEngine with its profile under the program's data folder, Qt dialogs, X11 keys.
std::unique_ptr<Platform> makeSystemPlatform();
