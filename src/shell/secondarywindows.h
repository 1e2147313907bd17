#pragma once
// The frame's secondary windows and what the frame asks of them: the download manager,
// the settings (modal from the menu, beside the frame from a command line), the skin
// chooser, the about box, the add-bookmark dialog, the history, the import. Each is made on
// first use.
#include <QObject>
#include <functional>

#include "core/command.h"
#include "ownedwindows.h"

class Platform;
class Transfer;
class frmDownload;

class SecondaryWindows : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<QColor()> cover, strip;  // the skin's colours for the settings
        std::function<bool(const QString &)> trySkin;
        std::function<void()> registerBrowser;
        std::function<void(const QString &)> open;  // an address from the history window
    };
    SecondaryWindows(Platform &platform, QWidget *frame, Hooks hooks);
    OwnedWindows &owned() { return windows_; }

    frmDownload *downloads();
    void showDownloads();
    void newDownload(const QString &path, const QString &url, Transfer *transfer,
                     bool offTheRecord = false);
    void forgetPrivateDownloads();      // the last private tab closed
    QWidget *showSettings(bool modal);  // the window when not modal
    QWidget *openSettings() const;      // the settings while they are shown
    void chooseSkin();
    void about();
    void addBookmark(const QString &title, const QString &address);
    void showHistory();
    void importData();
    // The windows' commands: the download manager, the settings (modal), the skins, the
    // about box, the update check from the menu.
    Ran Execute(Command command);

  private:
    Platform &platform_;
    QWidget *frame_;
    Hooks hooks_;
    OwnedWindows windows_;
};
