#include "mdibrowser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "about/frmabout.h"
#include "addressbox.h"
#include "chrometoggles.h"
#include "commands.h"
#include "core/bookmarks.h"
#include "core/settings.h"
#include "core/timing.h"
#include "downloads/frmdownload.h"
#include "downloads/ucdownload.h"
#include "findcontrol.h"
#include "framekeys.h"
#include "framemenus.h"
#include "frameskin.h"
#include "frontchrome.h"
#include "fullscreen.h"
#include "historykeeper.h"
#include "pagezoom.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "restorebar.h"
#include "services/desktopintegration.h"
#include "services/parental.h"
#include "services/updatecheck.h"
#include "services/windowhelpers.h"
#include "sessionkeeper.h"
#include "statusstrip.h"
#include "tab/form1.h"
#include "tabsleeper.h"
#include "tabstrip.h"
#include "toolbar.h"

namespace {
constexpr int kMaxDroppedFiles = 100;
QString formIniPath() {
    return AppDir() + QStringLiteral("数据/Form.ini");
}
}  // namespace

mdiBrowser::mdiBrowser(Platform &platform, const QString &commandLine, QWidget *parent)
    : FrameWindow(platform.desktop(), parent), platform_(platform), commandLine_(commandLine) {
    setObjectName(QStringLiteral("mdiBrowser"));
    setWindowTitle(QStringLiteral("Orvex Lumetta"));
    setWindowIcon(QIcon(AboutPicture(0)));
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    address_ = new AddressBox(central);
    toolbar_ = new ToolBar(central, address_);
    tabs_ = new TabSet(
        platform_,
        [this](const QString &path, const QString &url, Transfer *transfer, bool offTheRecord) {
            NewDownload(path, url, transfer, offTheRecord);
        },
        central);
    status_ = new StatusStrip(central);
    menus_ = new FrameMenus(this);
    column->addWidget(toolbar_);
    column->addWidget(tabs_->strip());
    restoreBar_ = new RestoreBar(central);
    column->addWidget(restoreBar_);
    column->addWidget(tabs_->body(), 1);
    column->addWidget(status_);
    setCentralWidget(central);
    GestureControl::Hooks hooks;
    hooks.execute = [this](Command c) { return Execute(c) == Ran::Done; };
    hooks.navigationShown = [this] {
        return tabs_->active() && tabs_->active()->navigationShown();
    };
    // The frame's resize border is no client area, and the zoom label keeps its middle
    // click; every other place of our windows is.
    hooks.clientArea = [this](QWindow *window, QPoint at) {
        return window != windowHandle() ||
               (edgesAt(at) == Qt::Edges() && !status_->zoomLabelAt(mapToGlobal(at)));
    };
    gestures_ = new GestureControl(platform_, this, hooks);
    toggles_ = new ChromeToggles(menus_, status_, toolbar_, gestures_, this);
    SecondaryWindows::Hooks windows;
    windows.cover = [this] { return toolbar_->coverColour(); };
    windows.strip = [this] { return status_->palette().color(QPalette::Window); };
    windows.trySkin = [this](const QString &name) { return skin_->tryOn(name); };
    windows.registerBrowser = [this] { RegisterDefaultBrowser(platform_.desktop()); };
    windows.open = [this](const QString &url) { onNavigate(url); };
    windows_ = new SecondaryWindows(platform_, this, windows);
    history_ = new HistoryKeeper(platform_, tabs_, this);
    session_ = new SessionKeeper(
        tabs_, [this] { return address_->currentText(); }, this);
    new TabSleeper(tabs_, platform_, this);
    connect(restoreBar_, &RestoreBar::RestoreClicked, session_, &SessionKeeper::restorePrevious);
    connect(restoreBar_, &RestoreBar::DismissClicked, session_, &SessionKeeper::dismissPrevious);
    connect(session_, &SessionKeeper::Notice, history_, &HistoryKeeper::say);
    connect(session_, &SessionKeeper::WriteFailed, status_, &StatusStrip::setStatus);
    address_->setSuggestionSource([this](const QString &typed) { history_->suggestLater(typed); });
    connect(history_, &HistoryKeeper::Suggested, address_, &AddressBox::showSuggestions);
    disguiser_ = new Disguiser(windows_->owned(), platform_.dialogs(), this);
    fullScreen_ = new FullScreen(this, {toolbar_, tabs_->strip(), status_});
    find_ = new FindControl(column, status_, tabs_);
    connect(find_, &FindControl::Made, fullScreen_, &FullScreen::addChrome);
    skin_ = new FrameSkin(this, platform_, {toolbar_, status_, find_, tabs_});
    zoom_ = new PageZoom(tabs_, status_, this);
    connect(zoom_, &PageZoom::Chosen, session_, &SessionKeeper::changed);
    front_ = new FrontChrome(tabs_, {address_, toolbar_, status_, menus_}, this);
    wireParts();
    FrameKeys::Hooks keys;
    keys.execute = [this](Command c, int value) { return Execute(c, value) == Ran::Done; };
    keys.inPage = [this](QObject *target) { return tabs_->frontHolds(target); };
    keys.escape = [this] {
        if (fullScreen_->escape()) return true;
        if (Form1 *t = tabs_->active(); t && t->isLoading()) Execute(Command::Stop);
        return false;  // the page hears it too
    };
    keys_ = new FrameKeys(platform_, this, keys);
}

mdiBrowser::~mdiBrowser() = default;

void mdiBrowser::wireParts() {
    connect(address_, &AddressBox::NavigateRequested, this, &mdiBrowser::onNavigate);
    connect(address_, &AddressBox::EscapePressed, front_, &FrontChrome::showAddress);
    connect(address_, &AddressBox::FilesDropped, this, &mdiBrowser::DropFiles);
    connect(tabs_, &TabSet::FilesDropped, this, &mdiBrowser::DropFiles);
    connect(tabs_, &TabSet::Refused, status_, &StatusStrip::setStatus);
    connect(toolbar_, &ToolBar::CommandRequested, this, [this](Command c) { Execute(c); });
    connect(toolbar_, &ToolBar::MaximiseToggled, this, &FrameWindow::toggleMaximised);
    connect(toolbar_, &ToolBar::MinimiseRequested, this, &QWidget::showMinimized);
    menus_->popUpFrom(toolbar_, status_, tabs_);
    // The pop-ups the active page was refused, opened once when the user asks.
    connect(status_, &StatusStrip::StatusClicked, tabs_, &TabSet::openBlockedPopups);
    connect(menus_, &FrameMenus::Triggered, this, &mdiBrowser::Execute);
    connect(menus_, &FrameMenus::FolderChosen, tabs_, &TabSet::openOn);
    connect(menus_, &FrameMenus::BookmarkChosen, this, [this](const QString &address, bool newTab) {
        if (newTab)
            tabs_->openOn(address);
        else
            onNavigate(address);
    });
    connect(tabs_, &TabSet::NewTabRequested, this, [this] { OpenNewFrm(); });
    fullScreen_->followPages(tabs_);
    // The private tabs' downloads are forgotten with the last of them, once they ended.
    connect(tabs_, &TabSet::PrivateEnded, windows_, &SecondaryWindows::forgetPrivateDownloads);
    connect(history_, &HistoryKeeper::Notice, status_, &StatusStrip::setStatus);
    connect(&platform_.history(), &History::Written, address_, &AddressBox::forget);
    connect(address_, &AddressBox::ForgetRequested, &platform_.history(), &History::Forget);
    connect(gestures_, &GestureControl::DirectionAdded, status_, &StatusStrip::setGestureText);
    connect(gestures_, &GestureControl::Finished, status_, &StatusStrip::setGestureText);
    connect(this, &FrameWindow::WindowStateChanged, this, [this] {
        toolbar_->setMaximisedGlyph(isMaximized());
        if (isMinimized() && settings::IsOn(settings::Key::MinPass))
            for (Form1 *t : tabs_->all()) t->setLocked(true);
    });
}

bool mdiBrowser::Load() {
    // Parental control and a broken skin end the program before any page is asked for (and
    // before the web profile is made).
    if (!OpenParents()) return false;
    platform_.prepareWebEngine();
    if (!skin_->start()) return false;
    restoreGeometryFrom(formIniPath());
    toggles_->applyBars();
    history_->open(AppDir() + QStringLiteral("数据/history.sqlite"));
    // The first page loads while the frame is shown.
    const StartCommand start = ParseCommandLine(commandLine_);
    const bool pageFirst = start.kind == StartCommand::Empty || start.kind == StartCommand::Open;
    if (pageFirst) HandleCommandLine(start);
    show();
    StartupMark("frame shown");
    activateWhenShown();
    if (const QScreen *s = screen())
        SetWindowSizeLimits(this, 0, 0, s->size().width(),
                            s->size().height() - TaskbarHeight(this));
    if (!pageFirst) HandleCommandLine(start);  // the lock panel, the settings: with their frame
    toggles_->applyGestures();
    OfferToBeDefaultBrowser(platform_.desktop(), platform_.dialogs(), this);
    if (settings::IsOn(settings::Key::Update)) {
        QCoreApplication::processEvents();
        CheckForUpdate(platform_, this,
                       [this](const QString &path, const QString &url) { NewDownload(path, url); });
    }
    keys_->install();
    // A start that shows only the settings keeps no session.
    if (tabs_->count() > 0 &&
        session_->begin(start.kind == StartCommand::Empty ? tabs_->active() : nullptr))
        restoreBar_->show();
    return true;
}

void mdiBrowser::activateWhenShown() {
    ActivateWhenShown(
        this,
        [this]() -> QWidget * {  // the settings of a "config" start come before the frame
            QWidget *settings = windows_->openSettings();
            return settings ? settings : this;
        },
        // The start page may have come first: typing replaces its address.
        [this](QWidget *w) {
            if (w == this) address_->selectIfUntouched();
        });
}

bool mdiBrowser::OpenParents() {
    if (!BrowsingBlocked(platform_.clock().now(), ReadParentalSettings())) return true;
    keys_->stopPoll();
    hide();
    refusingHandOffs_ = true;  // a later start must not bring the frame up behind the message
    platform_.dialogs().MsgBox(this, ParentalMessage(), QStringLiteral("家长控制"),
                               Dialogs::Exclamation);
    return false;
}

void mdiBrowser::HandleCommandLine(const StartCommand &cmd) {
    switch (cmd.kind) {
        case StartCommand::Empty:
            Execute(Command::NewTab);
            return;
        case StartCommand::Password: {
            OpenNewFrm();
            Form1 *locked = tabs_->create();
            locked->setLocked(true);
            tabs_->show(locked);
            return;
        }
        case StartCommand::Config:
            showSettings(false);
            return;
        case StartCommand::Open:
            tabs_->openOn(cmd.address);
            return;
    }
}

void mdiBrowser::OnHandOff(const QString &command) {
    if (refusingHandOffs_) return;
    // A bare start while disguised only brings the browser back.
    const bool disguised = disguiser_->active();
    disguiser_->End();
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    const HandOff h = ParseHandOff(command);
    if (h.kind == HandOff::Open) {
        tabs_->openOn(h.address);
    } else if (h.kind == HandOff::Config) {
        showSettings(false);
    } else if (h.kind == HandOff::OpenNew && !disguised) {
        tabs_->openHome();
    }
}

// A new tab takes the keyboard, as in other browsers: typing goes where the tab wants it.
void mdiBrowser::OpenNewFrm(bool offTheRecord) {
    if (!tabs_->openNew(offTheRecord)->takeKeyboard()) address_->focusSelected();
}

void mdiBrowser::DropFiles(const QStringList &paths) {
    for (int i = 0; i < paths.size() && i < kMaxDroppedFiles; ++i)
        tabs_->openOn(IsBookmarkPath(paths[i]) ? ReadBookmarkFile(paths[i]) : paths[i]);
}

void mdiBrowser::onNavigate(const QString &address) {
    if (!tabs_->active()) tabs_->show(tabs_->create());
    Form1 *t = tabs_->active();
    if (!address.isEmpty()) {
        history_->typed(t);
        t->navigate(address);
    }
    t->focusPage();
}

void mdiBrowser::showSettings(bool modal) {
    // A bare X server gives it the keyboard only when asked, once shown.
    if (windows_->showSettings(modal)) activateWhenShown();
}

void mdiBrowser::resizeEvent(QResizeEvent *event) {
    FrameWindow::resizeEvent(event);
    skin_->layout();
}

// One dispatch: a command that needs a tab does nothing without one; the handler its row
// names runs it.
Ran mdiBrowser::Execute(Command command, int value) {
    Form1 *t = tabs_->active();
    const CommandRow &row = RowOf(command);
    if (row.needsTab && !t) return Ran::Nothing;
    if (row.hiddenByLock && t->isLocked()) {
        status_->setStatus(QStringLiteral("此选项卡已锁定"));
        return Ran::Nothing;
    }
    switch (row.handler) {
        case Handler::Tab:
            return t->Execute(command);
        case Handler::Tabs:
            return tabs_->Execute(command, value);
        case Handler::Toggles:
            return toggles_->Execute(command);
        case Handler::Windows:
            return windows_->Execute(command);
        case Handler::Find:
            return find_->Execute(command);
        case Handler::Zoom:
            return zoom_->Execute(command, value);
        case Handler::Frame:
            break;
    }
    return runFrameCommand(command);
}

Ran mdiBrowser::runFrameCommand(Command command) {
    Form1 *t = tabs_->active();
    switch (command) {
        case Command::NewTab:
        case Command::NewPrivateTab:
            OpenNewFrm(command == Command::NewPrivateTab);
            return Ran::Done;
        case Command::RestoreSession:
            session_->restorePrevious();
            return Ran::Done;
        case Command::CloseAll:
            QApplication::setOverrideCursor(Qt::WaitCursor);
            while (Form1 *active = tabs_->active()) tabs_->close(active);
            QApplication::restoreOverrideCursor();
            OpenNewFrm();
            return Ran::Done;
        case Command::Exit:
            close();
            return Ran::Done;
        case Command::OrganiseBookmarks:
            if (QDir(AppDir() + QStringLiteral("书签/")).exists())
                tabs_->openOn(AppDir() + QStringLiteral("书签/"));
            return Ran::Done;
        case Command::AddBookmark:
            windows_->addBookmark(t->caption(), t->url());
            return Ran::Done;
        case Command::AddToDesktop:
            CreateDesktopShortcut(platform_.desktop(), t->caption(), t->url());
            return Ran::Done;
        case Command::BossKey:
            disguiser_->Disguise();
            return Ran::Done;
        case Command::FocusAddress:
            activateWindow();
            address_->focusSelected();
            return Ran::Done;
        case Command::FullScreen:
            fullScreen_->toggle();
            return Ran::Done;
        default:
            return Ran::NotMine;
    }
}

void mdiBrowser::EndNow() {
    ending_ = true;
    close();
    QCoreApplication::quit();  // whatever window of ours is still open
}

void mdiBrowser::closeEvent(QCloseEvent *event) {
    if (!ending_ && settings::IsOn(settings::Key::Unload) &&
        1 + tabs_->count() + windows_->owned().openWithDialogs(this) > 2) {
        const auto answer = platform_.dialogs().MsgBox(
            this, QStringLiteral("浏览器内部可能还有未关闭的页面\r\n您仍要关闭吗？"),
            QStringLiteral("关闭"), Dialogs::Information, Dialogs::YesNo);
        if (answer != Dialogs::AnswerYes) return event->ignore();
    }
    // Each window of ours may ask first (the download manager about running tasks); No
    // keeps everything open. The download list stays for the next start.
    for (QWidget *w : ending_ ? QList<QWidget *>() : windows_->owned().open()) {
        if (auto *m = qobject_cast<frmDownload *>(w)) m->setExiting(true);
        if (!w->close()) {
            if (auto *m = qobject_cast<frmDownload *>(w)) m->setExiting(false);
            return event->ignore();
        }
    }
    keys_->stopPoll();
    // The tabs as they are now: unloading them one by one is no change to keep.
    session_->finish(settings::IsOn(settings::Key::AutoDelete));
    for (Form1 *t : tabs_->all()) tabs_->close(t);
    // The window as it was before full screen, never the screen's rectangle.
    const bool maximised = fullScreen_->active() ? fullScreen_->wasMaximised() : isMaximized();
    if (!maximised)
        saveGeometryTo(formIniPath(),
                       fullScreen_->active() ? fullScreen_->geometryBefore() : geometry());
    if (settings::IsOn(settings::Key::AutoDelete)) platform_.ClearTracks();
    QCoreApplication::processEvents();
    event->accept();
}
