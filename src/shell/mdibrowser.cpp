#include "mdibrowser.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QWindow>

#include "about/frmabout.h"
#include "bosskey/frmsh.h"
#include "chromewidgets.h"
#include "commandline.h"
#include "core/bookmarks.h"
#include "core/config.h"
#include "core/desktopentry.h"
#include "core/geometry.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/textfiles.h"
#include "core/timing.h"
#include "downloads/frmdownload.h"
#include "findbar.h"
#include "gestures/capture.h"
#include "pagehabits.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/keystate.h"
#include "platform/platform.h"
#include "platform/transfer.h"
#include "platform/webview.h"
#include "services/parental.h"
#include "services/updatecheck.h"
#include "services/windowhelpers.h"
#include "settings/frmsetting.h"
#include "settings/frmtheme.h"
#include "skins/skin.h"
#include "tab/form1.h"
#include "tab/frmaddfav.h"
#include "tab/lockpanel.h"
#include "tab/navpage.h"

namespace {

QString formIniPath() {
    return AppDir() + QStringLiteral("数据/Form.ini");
}

}  // namespace

mdiBrowser::mdiBrowser(Platform &platform, const QString &commandLine, QWidget *parent)
    : QMainWindow(parent), platform_(platform), commandLine_(commandLine) {
    setObjectName(QStringLiteral("mdiBrowser"));
    setWindowTitle(QStringLiteral("Orvex Lumetta"));
    setWindowIcon(QIcon(AboutPicture(0)));
    buildChrome();
    buildMenus();
    // The windows the frame owns: one line each.
    windows_.add(OwnedWindow::Downloads, [this] { return new frmDownload(platform_, this); });
    windows_.add(OwnedWindow::AddBookmark,
                 [this] { return new frmAddFav(platform_.dialogs(), this); });
    windows_.add(OwnedWindow::About, [this] { return new frmAbout(platform_.desktop(), this); });
    windows_.add(OwnedWindow::Settings, [this] {
        const frmSetting::Colours colours{lblPro->palette().color(QPalette::Window),
                                          picStaBar->palette().color(QPalette::Window)};
        auto *f = new frmSetting(
            platform_, colours, [this] { RegisterDefaultBrowser(); }, this);
        // Every opening loads afresh and starts locked.
        connect(f, &QDialog::finished, this, [this] { windows_.discard(OwnedWindow::Settings); });
        return f;
    });
    windows_.add(OwnedWindow::Skins, [this] {
        return new frmTheme([this](const QString &name) { return TrySkin(name); }, this);
    });
    windows_.add(OwnedWindow::Disguise, [this] {
        auto *sh = new frmSH(this);
        connect(sh, &frmSH::RestoreRequested, this, &mdiBrowser::EndDisguise);
        return sh;
    });
    tmrKey = new QTimer(this);
    tmrKey->setObjectName(QStringLiteral("tmrKey"));
    tmrKey->setInterval(10);
    connect(tmrKey, &QTimer::timeout, this, &mdiBrowser::onKeyPoll);
}

mdiBrowser::~mdiBrowser() = default;

bool mdiBrowser::Load() {
    platform_.prepareWebEngine();
    // Parental control and a broken skin end the program before any page is asked for.
    if (!OpenParents() || !ApplySkin()) return false;
    restoreGeometryFromFile();
    ApplyBarSettings();
    // The first page loads while the frame is shown.
    const StartCommand start = ParseCommandLine(commandLine_);
    const bool pageFirst = start.kind == StartCommand::Empty || start.kind == StartCommand::Open;
    if (pageFirst) HandleCommandLine(start);
    show();
    StartupMark("frame shown");
    activateWhenShown();
    if (const QScreen *s = screen()) {
        SetWindowSizeLimits(this, 0, 0, s->size().width(),
                            s->size().height() - TaskbarHeight(this));
    }
    if (!pageFirst) HandleCommandLine(start);  // the lock panel, the settings: with their frame
    if (settings::IsOn(settings::Key::Mouse)) {
        InstallGestureHook();
        mnuMouse->setChecked(true);
    } else {
        lblMouse->setText(QStringLiteral("关闭手势"));
        mnuMouse->setChecked(false);
    }
    SHKey = settings::Text(settings::Key::SHKey);
    if (settings::IsOn(settings::Key::AutoSet) && !platform_.desktop().IsDefaultBrowser() &&
        platform_.dialogs().MsgBox(
            this, QStringLiteral("Telvano目前不是您的默认浏览器\r\n是否要设置为默认浏览器？"),
            QStringLiteral("提示"), Dialogs::Exclamation, Dialogs::YesNo) == Dialogs::AnswerYes)
        RegisterDefaultBrowser();
    if (settings::IsOn(settings::Key::Update)) {
        QCoreApplication::processEvents();
        CheckForUpdate(platform_, this,
                       [this](const QString &path, const QString &url) { NewDownload(path, url); });
    }
    installHabits();
    tmrKey->start();
    return true;
}

// A window manager gives a new window the keyboard; on a bare X server nobody would, and
// asking before the window is on the screen fails: ask once it is, for a few seconds.
void mdiBrowser::activateWhenShown() {
    auto *poll = new QTimer(this);
    poll->setInterval(50);
    connect(poll, &QTimer::timeout, this, [this, poll, tries = 0]() mutable {
        QWidget *w = windowToActivate();
        const bool exposed = w->windowHandle() && w->windowHandle()->isExposed();
        if (exposed && !w->isActiveWindow()) w->activateWindow();
        if (w != this) {
            if (w->isActiveWindow() || ++tries > 60) poll->deleteLater();
            return;
        }
        if (isActiveWindow()) {
            // The start page may have come first: typing replaces its address.
            QLineEdit *edit = cboAddress->lineEdit();
            if (edit->hasFocus() && !edit->isModified()) edit->selectAll();
        }
        if (isActiveWindow() || ++tries > 60) poll->deleteLater();
    });
    poll->start();
}

// The settings of a "config" start come before the frame.
QWidget *mdiBrowser::windowToActivate() {
    for (QWidget *w : windows_.open())
        if (w->objectName() == QLatin1String("frmSetting")) return w;
    return this;
}

void mdiBrowser::ShowSettings(bool modal) {
    auto *f = windows_.get<frmSetting>(OwnedWindow::Settings);
    if (modal) return void(f->exec());
    f->show();
    f->raise();
    activateWhenShown();  // a bare X server gives it the keyboard only when asked, once shown
}

void mdiBrowser::ChooseSkin() {
    windows_.get<frmTheme>(OwnedWindow::Skins)->exec();
    windows_.discard(OwnedWindow::Skins);
}

bool mdiBrowser::TrySkin(const QString &name) {
    if (!ApplySkin(SkinFilePath(name))) return false;  // told, and the old skin stays
    settings::Write(settings::Key::Theme, name);
    for (Form1 *t : tabs()) ColourTab(t, true);
    return true;
}

bool mdiBrowser::OpenParents() {
    if (!BrowsingBlocked(ParentalNow(), ReadParentalSettings())) return true;
    tmrKey->stop();
    hide();
    refusingHandOffs_ = true;  // a later start must not bring the frame up behind the message
    platform_.dialogs().MsgBox(this, ParentalMessage(), QStringLiteral("家长控制"),
                               Dialogs::Exclamation);
    return false;
}

void mdiBrowser::restoreGeometryFromFile() {
    QList<QRect> screens;
    for (const QScreen *s : QGuiApplication::screens()) screens << s->availableGeometry();
    const QRect fallback(60, 60, 1080, 750);
    setGeometry(RestoredGeometry(ReadStoredGeometry(formIniPath()), fallback, TwipsPerPixel(this),
                                 screens));
}

void mdiBrowser::HandleCommandLine(const StartCommand &cmd) {
    switch (cmd.kind) {
        case StartCommand::Empty:
            mnuNew->trigger();
            return;
        case StartCommand::Password: {
            OpenNewFrm();
            Form1 *locked = CreateTab();
            locked->setLocked(true);
            ShowTab(locked);
            return;
        }
        case StartCommand::Config:
            ShowSettings(false);
            return;
        case StartCommand::Open:
            newTabOn(cmd.address);
            return;
    }
}

void mdiBrowser::ApplyBarSettings() {
    if (!settings::IsOn(settings::Key::StBar)) {
        mnuDis[0]->setChecked(false);
        picStaBar->hide();
    }
    if (!settings::IsOn(settings::Key::PrBar)) {
        mnuDis[1]->setChecked(false);
        lblPro->hide();
    }
}

void mdiBrowser::OnHandOff(const QString &command) {
    if (refusingHandOffs_) return;
    EndDisguise();
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    const HandOff h = ParseHandOff(command);
    if (h.kind == HandOff::Open) {
        newTabOn(h.address);
    } else if (h.kind == HandOff::Config) {
        ShowSettings(false);
    } else if (h.kind == HandOff::OpenNew) {
        Form1 *t = CreateTab();
        t->brwWebBrowser->GoHome();
        ShowTab(t);
    }
}

Form1 *mdiBrowser::newTabOn(const QString &address) {
    Form1 *t = CreateTab();
    t->brwWebBrowser->Navigate(address);
    ShowTab(t);
    return t;
}

Form1 *mdiBrowser::CreateTab(bool background) {
    auto *t = new Form1(platform_, children_);
    connectTab(t);
    // A tab opened behind the active one lies next to it, as in other browsers.
    const int index =
        background && MDITabs->count() > 0 ? MDITabs->currentIndex() + 1 : MDITabs->count();
    children_->insertWidget(index, t);
    if (blankPageIcon_.isNull()) blankPageIcon_ = BlankPageIcon();
    MDITabs->insertTab(index, blankPageIcon_, QStringLiteral("空白页"));
    MDITabs->setTabData(index, QVariant::fromValue<void *>(t));
    MDITabs->setTabToolTip(index, QString());
    if (!background) MDITabs->setCurrentIndex(index);  // a tab that shows itself is active
    showEmptyPage();
    t->Load();
    if (background) t->hide();  // the active one stays in front
    // The strip's first tab becomes current before it is known, and says nothing then.
    if (t == ActiveForm()) updateHistoryButtons();
    CurrentHomePage = settings::Text(settings::Key::HomePage);
    StartupMark("tab created");
    return t;
}

// What a tab's page does reaches the chrome; only the active tab's status and progress show.
void mdiBrowser::connectTab(Form1 *t) {
    connect(t, &Form1::StatusTextChanged, this, [this, t](const QString &text) {
        if (t == ActiveForm()) lblSta->setText(text);
    });
    connect(t, &Form1::ProgressChanged, this, [this, t](int progress, int progressMax) {
        if (t == ActiveForm() && showsLoadProgress()) ShowProgress(progress, progressMax);
    });
    connect(t, &Form1::CaptionChanged, this, [this, t] { tabCaptionChanged(t); });
    // Every tab's loads, active or not, move the address list and the stop/refresh buttons.
    connect(t, &Form1::AddressChanged, this, [this](const QString &url) {
        AddressListAppend(url);
        showStopButton();
    });
    connect(t, &Form1::PageLoaded, this, [this](const QString &zoom) {
        lblZoom->setText(zoom + QStringLiteral(" %"));
        CurrentZoom = config::leadingInt(zoom);
        showRefreshButton();
        lblPro->hide();
    });
    connect(t, &Form1::NewWindowRequested, this, [this](Form1 **created, bool background) {
        Form1 *tab = CreateTab(background);
        ColourTab(tab, false);
        if (!background) ShowTab(tab);
        *created = tab;
    });
    connectHabits(t);
    connect(t, &Form1::DownloadRequested, this, &mdiBrowser::NewDownload);
    connect(t, &Form1::BookmarkRequested, this,
            [this](const QString &path) { newTabOn(ReadBookmarkFile(path)); });
}

void mdiBrowser::ShowTab(Form1 *tab) {
    const int index = children_->indexOf(tab);
    if (index >= 0) MDITabs->setCurrentIndex(index);
}

void mdiBrowser::ColourTab(Form1 *tab, bool withEditor) {
    const QColor cover = lblPro->palette().color(QPalette::Window);
    const QColor bar = picToolBar->palette().color(QPalette::Window);
    tab->picPass->setColour(cover);
    tab->picNav->setColours(cover, withEditor ? bar : QColor(155, 203, 255), bar);
}

void mdiBrowser::OpenNewFrm() {
    const bool hadHomePage = !CurrentHomePage.isEmpty();
    Form1 *t = CreateTab();
    if (!settings::IsOn(settings::Key::IEHomePage)) {
        if (settings::IsOn(settings::Key::OnOpen))
            t->brwWebBrowser->Navigate(settings::Text(settings::Key::LastPage));
        else if (hadHomePage)
            t->brwWebBrowser->Navigate(CurrentHomePage);
    } else {
        t->brwWebBrowser->GoHome();
    }
    ColourTab(t, true);
    ShowTab(t);
}

Form1 *mdiBrowser::tabAt(int index) const {
    return index < 0 ? nullptr : static_cast<Form1 *>(MDITabs->tabData(index).value<void *>());
}

Form1 *mdiBrowser::ActiveForm() const {
    return tabAt(MDITabs->currentIndex());
}

QList<Form1 *> mdiBrowser::tabs() const {
    QList<Form1 *> out;
    for (int i = 0; i < MDITabs->count(); ++i) out << tabAt(i);
    return out;
}

void mdiBrowser::CloseTab(Form1 *tab) {
    const int index = children_->indexOf(tab);
    if (index < 0) return;
    rememberClosedTab(tab);
    lblPro->hide();
    lblSta->clear();
    settings::Write(settings::Key::LastPage, cboAddress->currentText());
    children_->removeWidget(tab);
    MDITabs->removeTab(index);
    tab->hide();
    tab->deleteLater();  // it may be closing from inside one of its own events
    showEmptyPage();
}

void mdiBrowser::showEmptyPage() {
    const bool none = MDITabs->count() == 0;
    emptyPage_->setVisible(none);
    children_->setVisible(!none);
    if (none) ShowActiveAddress();
}

void mdiBrowser::CloseAllTabs() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    while (Form1 *t = ActiveForm()) CloseTab(t);
    QApplication::restoreOverrideCursor();
    OpenNewFrm();
}

void mdiBrowser::OrganiseBookmarks() {
    const QString folder = AppDir() + QStringLiteral("书签/");
    if (QDir(folder).exists()) newTabOn(folder);
}

void mdiBrowser::onTabChanged(int index) {
    Form1 *t = tabAt(index);
    if (!t) return;
    children_->setCurrentWidget(t);
    showAddressOf(t);
    lblSta->clear();
    lblPro->hide();
    updateHistoryButtons();
    updateWindowTitle();
    if (picFind && picFind->isVisible()) picFind->open();
}

void mdiBrowser::tabCaptionChanged(Form1 *tab) {
    const int index = children_->indexOf(tab);
    if (index < 0) return;
    const QString caption = tab->caption().isEmpty() ? QStringLiteral("空白页") : tab->caption();
    MDITabs->setTabText(index, TabCaption(caption));
    MDITabs->setTabToolTip(index, WithoutBidiControls(tab->caption()));
    if (tab == ActiveForm()) updateWindowTitle();
}

void mdiBrowser::AddressListAppend(const QString &url) {
    for (int i = cboAddress->count() - 1; i >= 0; --i)
        if (cboAddress->itemText(i) == url) cboAddress->removeItem(i);
    AddressListUpdating = true;
    QLineEdit *edit = cboAddress->lineEdit();
    // What the user is typing stays; otherwise the new address shows, and a box with the
    // focus has it selected so that typing replaces it.
    const QString typing = edit->hasFocus() && edit->isModified() ? edit->text() : QString();
    cboAddress->addItem(url);
    cboAddress->setCurrentIndex(cboAddress->count() - 1);
    if (!typing.isNull()) {
        cboAddress->setEditText(typing);
        edit->setModified(true);
    } else {
        addressTag = url;
        if (edit->hasFocus()) edit->selectAll();
    }
    AddressListUpdating = false;
}

void mdiBrowser::showAddressOf(Form1 *t) {
    cboAddress->setEditText(t ? t->brwWebBrowser->LocationURL() : QString());
    addressTag = cboAddress->currentText();
}

void mdiBrowser::ShowActiveAddress() {
    showAddressOf(ActiveForm());
    cboAddress->lineEdit()->selectAll();
}

void mdiBrowser::onAddressClick() {
    if (AddressListUpdating) return;
    if (!ActiveForm()) ShowTab(CreateTab());
    Form1 *t = ActiveForm();
    const QString text = cboAddress->currentText();
    if (text == QStringLiteral("转到")) {
        t->brwWebBrowser->Navigate(addressTag);
    } else if (text == QStringLiteral("搜索")) {
        const QString address = SearchAddress(settings::Text(settings::Key::Search), addressTag);
        if (!address.isEmpty()) t->brwWebBrowser->Navigate(address);
    } else {
        t->brwWebBrowser->Navigate(AddressOrSearch(text, settings::Text(settings::Key::Search)));
    }
    t->picNav->hide();
    t->brwWebBrowser->widget()->setFocus();
}

frmDownload *mdiBrowser::downloadManager() {
    return windows_.get<frmDownload>(OwnedWindow::Downloads);
}

void mdiBrowser::ShowDownloadManager() {
    frmDownload *m = downloadManager();
    if (m->isMinimized()) m->showNormal();
    m->show();
    m->raise();
}

void mdiBrowser::NewDownload(const QString &path, const QString &url, Transfer *transfer) {
    ShowDownloadManager();
    downloadManager()->NewDownload(path, url, transfer);
}

namespace {
// Our own icon where the package installed it; elsewhere the desktop's icon for browsers,
// which every icon theme that follows the naming rules has.
QString launcherIcon() {
    return config::installedTemplate().isEmpty() ? QStringLiteral("web-browser")
                                                 : QStringLiteral("olumetta");
}
}  // namespace

void mdiBrowser::CreateDesktopShortcut(const QString &title, const QString &address) {
    const QString folder = platform_.desktop().DesktopFolder();
    if (folder.isEmpty()) return;
    platform_.desktop().WriteLauncher(QDir(folder).filePath(ShortcutFileName(title)),
                                      ShortcutEntry(title, QCoreApplication::applicationFilePath(),
                                                    address, AppDir(), launcherIcon()));
}

void mdiBrowser::RegisterDefaultBrowser() {
    platform_.desktop().RegisterDefaultBrowser(
        BrowserEntry(QCoreApplication::applicationFilePath(), launcherIcon()), kBrowserMimeTypes);
}

void mdiBrowser::CheckForUpdateFromMenu() {
    const int result =
        CheckForUpdate(platform_, this,
                       [this](const QString &path, const QString &url) { NewDownload(path, url); });
    if (result == 0)
        platform_.dialogs().MsgBox(this, QStringLiteral("您的Telvano已是最新版本！"),
                                   QStringLiteral("更新"), Dialogs::Information);
    else if (result == -1)
        platform_.dialogs().MsgBox(
            this, QStringLiteral("检查更新中出现错误！请确保您的网络连通，然后再试一次。"),
            QStringLiteral("出错"), Dialogs::Exclamation);
}

void mdiBrowser::onKeyPoll() {
    KeyState &keys = platform_.keys();
    keys.refresh();
    const bool modifier =
        keys.isDown(Qt::Key_Alt) || keys.isDown(Qt::Key_Control) || keys.isDown(Qt::Key_Shift);
    switch (hotKeys_.poll(keys.isDown(Qt::Key_F2), keys.isDown(Qt::Key_F4), modifier)) {
        case HotKeyPoll::BossKey:
            Execute(Command::BossKey);
            break;
        case HotKeyPoll::Lock:
            Execute(Command::Lock);
            break;
        case HotKeyPoll::None:
            break;
    }
}

// The boss key: every window of ours goes, the disguise comes; again while disguised does
// nothing. The disguise is made afresh each time, so it follows changed settings.
void mdiBrowser::Disguise() {
    if (disguised_) return;
    disguised_ = true;
    hiddenWindows_.clear();
    for (QWidget *w : windows_.open()) {
        hiddenWindows_ << w;
        w->hide();
    }
    hide();
    auto *sh = windows_.get<frmSH>(OwnedWindow::Disguise);
    sh->Load();
    sh->show();
    sh->raise();
    sh->activateWindow();
}

// Everything that was showing comes back as it was: geometry, maximised, the active tab.
void mdiBrowser::EndDisguise() {
    if (!disguised_) return;
    disguised_ = false;
    windows_.discard(OwnedWindow::Disguise);
    show();
    for (const QPointer<QWidget> &w : hiddenWindows_)
        if (w) w->show();
    hiddenWindows_.clear();
    raise();
    activateWindow();
}

int mdiBrowser::loadedWindowCount() const {
    const QList<QWidget *> owned = windows_.open();
    int n = 1 + MDITabs->count() + owned.size();
    // Dialogs up at the moment count too, as the loaded windows they are.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && !owned.contains(w) && qobject_cast<QDialog *>(w)) ++n;
    return n;
}

void mdiBrowser::closeEvent(QCloseEvent *event) {
    if (settings::IsOn(settings::Key::Unload) && loadedWindowCount() > 2) {
        const auto answer = platform_.dialogs().MsgBox(
            this, QStringLiteral("浏览器内部可能还有未关闭的页面\r\n您仍要关闭吗？"),
            QStringLiteral("关闭"), Dialogs::Information, Dialogs::YesNo);
        if (answer != Dialogs::AnswerYes) {
            event->ignore();
            return;
        }
    }
    // Each window of ours may ask first (the download manager about running tasks); No
    // keeps everything open.
    for (QWidget *w : windows_.open())
        if (!w->close()) {
            event->ignore();
            return;
        }
    tmrKey->stop();
    const QList<Form1 *> all = tabs();
    for (Form1 *t : all) CloseTab(t);
    if (!isMaximized()) WriteStoredGeometry(formIniPath(), geometry(), TwipsPerPixel(this));
    if (settings::IsOn(settings::Key::AutoDelete)) platform_.ClearTracks();
    QCoreApplication::processEvents();
    event->accept();
}
