#pragma once
// The main frame. It composes its parts (toolbar with the address box, tab strip over the
// tabs, status strip, menus, find bar, gestures, the boss key's disguise) and wires them:
// what the front tab does reaches the chrome, and every user command runs through Execute.
// Start-up from the command line, hand-offs from later starts and shutdown are its own.
#include <QPointer>
#include <memory>

#include "commandline.h"
#include "core/command.h"
#include "disguiser.h"
#include "framewindow.h"
#include "gesturecontrol.h"
#include "secondarywindows.h"
#include "tabset.h"

class AddressBox;
class ChromeToggles;
class FindControl;
class FrameSkin;
class FrontChrome;
class PageZoom;
class Form1;
class FrameKeys;
class FrameMenus;
class FullScreen;
class HistoryKeeper;
class RestoreBar;
class SessionKeeper;
class Platform;
class StatusStrip;
class ToolBar;
class Transfer;
class frmDownload;

class mdiBrowser : public FrameWindow {
    Q_OBJECT
  public:
    mdiBrowser(Platform &platform, const QString &commandLine, QWidget *parent = nullptr);
    ~mdiBrowser() override;

    // Start-up after the configuration check and the hand-off: frame shown, command line
    // handled, first tab opened. False when the program must end at once (parental
    // control, a skin that cannot be loaded).
    bool Load();
    // A command from a later start of the program.
    void OnHandOff(const QString &command);
    // The system ends the program (a logout, a signal): closed as the user would, asking
    // nothing, the session kept, running downloads held to go on at the next start.
    void EndNow();
    // Every user command, from the menus, the toolbar, the keys, gestures (value: the zoom's
    // percentage, the tab's number).
    Ran Execute(Command command, int value = 0);

    // Tabs.
    void OpenNewFrm(bool offTheRecord = false);
    QList<Form1 *> tabs() const { return tabs_->all(); }
    // Files dropped on the address box: one new tab each, at most 100.
    void DropFiles(const QStringList &paths);

    bool isDisguised() const { return disguiser_->active(); }
    // The download manager, made on first use; shown and handed a task.
    frmDownload *downloadManager() { return windows_->downloads(); }
    void NewDownload(const QString &path, const QString &url, Transfer *transfer = nullptr,
                     bool offTheRecord = false) {
        windows_->newDownload(path, url, transfer, offTheRecord);
    }

  protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    void wireParts();
    Ran runFrameCommand(Command command);
    bool OpenParents();
    void onNavigate(const QString &address);
    void showSettings(bool modal);
    void HandleCommandLine(const StartCommand &cmd);
    void activateWhenShown();

    Platform &platform_;
    QString commandLine_;
    AddressBox *address_;
    ToolBar *toolbar_;
    TabSet *tabs_;
    StatusStrip *status_;
    FrameMenus *menus_;
    FindControl *find_;
    FrontChrome *front_;
    PageZoom *zoom_;
    FrameSkin *skin_;
    GestureControl *gestures_;
    ChromeToggles *toggles_;
    SecondaryWindows *windows_;
    HistoryKeeper *history_;
    SessionKeeper *session_;
    RestoreBar *restoreBar_;
    Disguiser *disguiser_;
    FrameKeys *keys_;
    FullScreen *fullScreen_;
    bool refusingHandOffs_ = false;  // while parental control tells the user why not
    bool ending_ = false;            // the system ends the program: no questions
};
