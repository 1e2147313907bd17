#pragma once
// The main frame: toolbar with the address box, the tab strip over the tabs, the status
// strip, the menus, start-up from the command line, hand-offs from later starts, shutdown.
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "commandline.h"
#include "commands.h"
#include "framelayout.h"
#include "hotkeys.h"
#include "ownedwindows.h"

class CaptionButton;
class FindBar;
class PageHabits;
class EmptyPage;
class frmDownload;
class frmMouse;
class GestureCapture;
class Transfer;
class Form1;
class LogoArea;
class PictureButton;
class Platform;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabBar;
class QTimer;

class mdiBrowser : public QMainWindow {
    Q_OBJECT
  public:
    mdiBrowser(Platform &platform, const QString &commandLine, QWidget *parent = nullptr);
    ~mdiBrowser() override;

    // Start-up after the configuration check and the hand-off: frame shown, command line
    // handled, first tab opened.
    // False when the program must end at once (parental control).
    bool Load();
    bool OpenParents();
    // A command from a later start of the program.
    void OnHandOff(const QString &command);
    // Every user command, from the menus, the toolbar, the keys (percent: for Command::Zoom).
    // False when it found nothing to act on (no tab, no history that way).
    bool Execute(Command command, int percent = 0);

    // A launcher for the page on the user's desktop; every error is ignored, as is success.
    void CreateDesktopShortcut(const QString &title, const QString &address);
    // This program as the desktop's default web browser.
    void RegisterDefaultBrowser();

    // Mouse gestures: the capture on or off, and what a finished gesture does.
    void InstallGestureHook();
    void RemoveGestureHook();
    void RunGesture(const QString &gesture);

    // Tabs.
    void OpenNewFrm();
    // Created and loaded, not yet shown in front; in the background: next to the active tab,
    // which stays active.
    Form1 *CreateTab(bool background = false);
    void ShowTab(Form1 *tab);
    // The tab's panels in the skin's colours; withEditor also colours the tile editor.
    void ColourTab(Form1 *tab, bool withEditor);
    Form1 *ActiveForm() const;
    QList<Form1 *> tabs() const;
    void CloseTab(Form1 *tab);
    // Files dropped on the address box: one new tab each, at most 100.
    void DropFiles(const QStringList &paths);

    // The boss key's disguise, and its end (the restore character, or a later start).
    void Disguise();
    void EndDisguise();
    bool isDisguised() const { return disguised_; }

    // The frame and the windows it owns, as the close question counts them.
    int loadedWindowCount() const;
    // The download manager, made on first use; shown and handed a task.
    frmDownload *downloadManager();
    void NewDownload(const QString &path, const QString &url, Transfer *transfer = nullptr);
    // The current skin onto the chrome; false (after its message) when it cannot be applied,
    // and then nothing has changed.
    bool ApplySkin();
    bool ApplySkin(const QString &file);
    // The skin chooser.
    void ChooseSkin();
    // A skin by its file name onto the frame and every tab, stored once it applied.
    bool TrySkin(const QString &name);
    // "程序设置": modal from the menu, beside the frame from a command line.
    void ShowSettings(bool modal);

    // The commands of other browsers' habits (keys, the tab strip's menu).
    bool RunHabit(Command command, int value);

    // Program-wide values.
    QString CurrentHomePage;
    bool AddressListUpdating = false;
    int CurrentZoom = 100;
    QString SHKey;  // the boss key's restore character

  protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

  private:
    void CloseAllTabs();
    void OrganiseBookmarks();
    void ShowDownloadManager();
    void CheckForUpdateFromMenu();
    // What the tabs report.
    void AddressListAppend(const QString &url);
    // The active tab's address back in the box, selected (Escape).
    void ShowActiveAddress();
    void showAddressOf(Form1 *t);  // empty for none
    void tabCaptionChanged(Form1 *tab);
    void showStopButton();
    void showRefreshButton();
    bool showsLoadProgress() const;
    void ShowProgress(int progress, int progressMax);
    // The layout rules, run on every size change.
    void LayoutChrome();
    void colourTabStrip(const QColor &bar);
    void setZoom(int percent);
    QAction *commandAction(QMenu *menu, const QString &caption, Command command, const char *name);

    void installHabits();
    void connectHabits(Form1 *t);
    void showTabIcon(Form1 *t, const QIcon &icon);
    void updateHistoryButtons();
    void updateWindowTitle();
    void rememberClosedTab(Form1 *t);
    void openTabWithHistory(const QString &url, const QByteArray &history);
    void setPageFullScreen(bool on);
    void buildChrome();
    FindBar *findBar();
    void buildMenus();
    void HandleCommandLine(const StartCommand &cmd);
    void ApplyBarSettings();
    void restoreGeometryFromFile();
    void activateWhenShown();
    QWidget *windowToActivate();
    void onAddressClick();
    void onTabChanged(int index);
    void onKeyPoll();
    Form1 *tabAt(int index) const;
    void connectTab(Form1 *t);
    void showEmptyPage();                     // while no tab is open
    Form1 *newTabOn(const QString &address);  // created, navigated, shown
    bool chromeMouse(QObject *watched, QEvent *event);
    Qt::Edges edgesAt(const QPoint &pos) const;
    void toggleMaximised();
    void loadButtonPicture(int index, bool pressed);
    int px(int twips) const;
    int twips(int pixels) const;

    // The chrome, named as the parts of the frame are.
    QWidget *picToolBar;
    QLabel *imgBG;
    PictureButton *picTBtn[5];
    QComboBox *cboAddress;
    QLabel *lblPro;
    LogoArea *picLogo;
    CaptionButton *picCtl[3];
    QTabBar *MDITabs;
    QWidget *picStaBar;
    QLabel *imgStaBG;
    QLabel *lblSta;
    QLabel *lblMouse;
    QLabel *lblZoom;
    FindBar *picFind = nullptr;  // made on first use: findBar()
    QColor findColours_[2];      // the skin's, for the find bar: background, text
    QIcon blankPageIcon_;
    QMenu *mnuMenu, *mnuM, *mnuTabs;
    QAction *mnuNew, *mnuDis[2], *mnuClAl, *mnuClNw, *mnuMouse, *mnuEnd;
    QTimer *tmrKey;
    // Positions of the skin, in twips.
    chrome::SkinPositions skinPositions;
    QSize buttonSize[5];  // twips
    QString addressTag;   // what was last typed into the address box

    Platform &platform_;
    QString commandLine_;
    QStackedWidget *children_;
    EmptyPage *emptyPage_;
    QTimer menuClick_;  // a single click on the menu button waits for a possible second
    QColor borderColour_ = QColor(0x9b, 0xcb, 0xff).darker(125);
    QPoint dragOffset_;  // where a move grabbed the frame
    enum class Drag { None, Pressed, System, Own } drag_ = Drag::None;
    QRect normalGeometry_;             // the size a maximised frame restores to
    bool refusingHandOffs_ = false;    // while parental control tells the user why not
    bool addressClickSelects_ = true;  // until the box has been clicked since it had the focus
    HotKeyPoll hotKeys_;
    OwnedWindows windows_;
    bool disguised_ = false;
    QList<QPointer<QWidget>> hiddenWindows_;  // what the disguise hid, to bring back
    std::unique_ptr<frmMouse> trail_;
    std::unique_ptr<GestureCapture> gestures_;
    std::unique_ptr<PageHabits> habits_;
    struct ClosedTab {
        QString url;
        QByteArray history;
    };
    QList<ClosedTab> closedTabs_;  // the last ones, for Ctrl+Shift+T
    bool pageFullScreen_ = false;  // a page (a video) asked for the whole screen
    Qt::WindowStates stateBeforeFullScreen_;
};
