#include "form1.h"

#include <QBuffer>
#include <QEvent>
#include <QLineEdit>
#include <QResizeEvent>
#include <QUrl>

#include "core/downloadnames.h"
#include "core/settings.h"
#include "lockpanel.h"
#include "navpage.h"
#include "notices.h"
#include "pagetroubles.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/webview.h"
#include "services/contentfilter.h"
#include "services/savedialog.h"
#include "viewshrink.h"

namespace {
// The icon as a session keeps it: the size a tab shows on a screen of twice the density.
QByteArray PngOf(const QIcon &icon) {
    QByteArray png;
    if (icon.isNull()) return png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    icon.pixmap(QSize(32, 32), 1.0).save(&buffer, "PNG");
    return png;
}
}  // namespace

Form1::Form1(Platform &platform, TabHost &host, bool offTheRecord, QWidget *parent)
    : QWidget(parent),
      host_(host),
      dialogs_(platform.dialogs()),
      permissions_(platform.permissions()) {
    setObjectName(QStringLiteral("Form1"));
    brwWebBrowser = platform.createWebView(this, offTheRecord);
    brwWebBrowser->setHost(this);
    shrink_ = new ViewShrink(this, brwWebBrowser->widget(), [this] { layoutCovers(); });
    // The navigation page lies above the lock panel: made later, it stacks higher.
    picPass = new LockPanel(this);
    picNav = new NavPage(
        platform.dialogs(),
        [this] {
            return std::pair{url(), caption()};
        },
        this);
    connect(picNav, &NavPage::NavigateRequested, this, &Form1::navigate);
    picPass->installEventFilter(this);
    picNav->installEventFilter(this);

    WebView *v = brwWebBrowser;
    // Blocked pop-ups stay said while nothing else is to be said.
    connect(v, &WebView::StatusTextChange, this, [this](const QString &text) {
        const bool idle = text.isEmpty() || text == QStringLiteral("完成");
        emit StatusTextChanged(blockedCount_ > 0 && idle ? blockedText() : text);
    });
    connect(v, &WebView::PopupBlocked, this, [this](const QString &url) {
        if (!blocked_.contains(url) && blocked_.size() < kMaxBlockedKept) blocked_ << url;
        ++blockedCount_;
        emit StatusTextChanged(blockedText());
    });
    connect(v, &WebView::ProgressChange, this, &Form1::ProgressChanged);
    connect(v, &WebView::DownloadComplete, this, &Form1::onDownloadComplete);
    connect(v, &WebView::TitleChange, this, &Form1::onTitleChange);
    connect(v, &WebView::NavigateComplete2, this, [this] {
        if (picNotice) picNotice->dismiss();  // a new page: nothing said of the old one stays
        blocked_.clear();                     // a new page: its own pop-ups only
        blockedCount_ = 0;
        // Leaving the site that was let in past its certificate ends the warning.
        if (insecure() && QUrl(brwWebBrowser->LocationURL()).host() != insecureHost_) {
            insecureHost_.clear();
            emit SecurityChanged();
        }
        // Another page than the one put back: the kept icon is not its own.
        const auto document = [](const QString &url) {
            return QUrl(url).adjusted(QUrl::RemoveFragment);
        };
        if (!keptFor_.isEmpty() && document(keptFor_) != document(brwWebBrowser->LocationURL())) {
            keptFor_.clear();
            showIcon(QIcon());
        }
        emit AddressChanged(brwWebBrowser->LocationURL());
    });
    connect(v, &WebView::BookmarkFileOpened, this, &Form1::BookmarkRequested);
    connect(v, &WebView::DownloadSaved, this, [this](const QString &path, bool ok) {
        emit StatusTextChanged((ok ? QStringLiteral("下载完成: ") : QStringLiteral("下载失败: ")) +
                               path);
    });
    watchEngine();
}

// The engine's events that need the user, and those the frame shows.
void Form1::watchEngine() {
    WebView *v = brwWebBrowser;
    connect(v, &WebView::IconChange, this, &Form1::showIcon);
    connect(v, &WebView::HistoryChange, this, &Form1::HistoryChanged);
    connect(v, &WebView::FindResult, this, &Form1::FindResult);
    connect(v, &WebView::FullScreenRequested, this, &Form1::FullScreenRequested);
    // As other browsers allow: only a window a page opened may be closed by a page.
    connect(v, &WebView::CloseRequested, this, [this] {
        if (openedByPage_) emit CloseRequested();
    });
    WatchPageTroubles(v, this,
                      {[this] { return notice(); },
                       [this](const QString &host) {
                           insecureHost_ = host;
                           emit SecurityChanged();
                       }});
    connect(v, &WebView::PermissionRequested, this,
            [this](const QString &origin, int feature, const QString &what) {
                if (const auto known = permissions_.answer(origin, feature))
                    return brwWebBrowser->AnswerPermission(origin, feature, *known);
                permissionBar()->ask(origin, feature, what);
            });
}

NoticePanel *Form1::notice() {
    if (!picNotice) {
        picNotice = new NoticePanel(this);  // made last: above the page and its covers
        layoutCovers();
    }
    return picNotice;
}

PermissionBar *Form1::permissionBar() {
    if (!picPermission) {
        picPermission = new PermissionBar(this, permissions_);
        picPermission->installEventFilter(this);
        connect(picPermission, &PermissionBar::Answered, brwWebBrowser, &WebView::AnswerPermission);
    }
    return picPermission;
}

Form1::~Form1() = default;

QString Form1::blockedText() const {
    return QStringLiteral("已阻止弹出窗口 (%1)，单击此处打开").arg(blockedCount_);
}

QStringList Form1::takeBlockedPopups() {
    blockedCount_ = 0;
    return std::exchange(blocked_, {});
}

void Form1::Load() {
    if (settings::IsOn(settings::Key::OpenPass)) setLocked(true);
    if (settings::IsOn(settings::Key::OpenNav)) picNav->show();
    ReadNav();
}

void Form1::rest(const SessionTab &page) {
    waiting_ = page;
    restored_ = true;
    setWindowTitle(page.title.isEmpty() ? page.url : page.title);
    emit CaptionChanged();
    QPixmap icon;
    if (!icon.loadFromData(page.icon, "PNG")) return;
    keptIcon_ = QIcon(icon);
    keptFor_ = page.url;
    icon_ = page.icon;
    emit IconChanged(keptIcon_);
}

// A page put back with its history gets no icon from the engine, not even when loaded
// again: the kept one stands in until the engine gives one or the tab leaves that page.
void Form1::showIcon(const QIcon &icon) {
    if (!icon.isNull()) keptFor_.clear();
    const QIcon shown = keptFor_.isEmpty() ? icon : keptIcon_;
    icon_ = PngOf(shown);
    emit IconChanged(shown);
}

void Form1::wake() {
    shrink_->shown();
    if (!waiting_) return;
    const SessionTab page = *std::exchange(waiting_, std::nullopt);
    restoreHistory(page.url, page.history);
}

SessionTab Form1::page() const {
    if (waiting_)
        return {waiting_->url,  waiting_->title, waiting_->history,
                waiting_->zoom, isLocked(),      waiting_->icon};
    // A page still on its way has no address of its own yet: the one asked for is kept.
    const QString at = brwWebBrowser->LocationURL();
    return {at.isEmpty() ? asked_ : at,
            caption(),
            brwWebBrowser->SavedHistory(),
            qRound(brwWebBrowser->PageZoom() * 100),
            isLocked(),
            icon_};
}

void Form1::ReadNav() {
    picNav->ReadNav();
}

bool Form1::isPrivate() const {
    return brwWebBrowser->OffTheRecord();
}

bool Form1::isLocked() const {
    return !picPass->isHidden();
}

void Form1::setLocked(bool locked) {
    if (locked) picPass->ensureBuilt();
    picPass->setVisible(locked);
}

// The lock panel's visibility decides whether the page may take input, whoever shows it.
bool Form1::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::ShowToParent && event->type() != QEvent::HideToParent)
        return QWidget::eventFilter(watched, event);
    if (watched == picPass) {
        brwWebBrowser->SetInputEnabled(picPass->isHidden());
        emit LockChanged();
    }
    // Back leaves the navigation page: where back can go changes with it.
    if (watched == picNav) emit HistoryChanged();
    if (watched == picPermission) layoutCovers();
    return QWidget::eventFilter(watched, event);
}

void Form1::resizeEvent(QResizeEvent *) {
    layoutCovers();
}

void Form1::layoutCovers() {
    const QRect all = rect();
    QRect page = all;
    if (picPermission && !picPermission->isHidden()) {
        const int h = picPermission->sizeHint().height();
        picPermission->setGeometry(0, 0, width(), h);
        page.setTop(h);
    }
    brwWebBrowser->widget()->setGeometry(page);
    if (picNotice) picNotice->setGeometry(page);
    picPass->setGeometry(all);  // each centres its own core
    picNav->setGeometry(all);
}

bool Form1::GoBack() {
    if (picNav->isHidden()) return brwWebBrowser->GoBack();
    picNav->hide();
    if (picNav->picAddNav) picNav->picAddNav->hide();
    return true;
}

void Form1::ToggleNavigationPage() {
    picNav->setVisible(picNav->isHidden());
    if (picNav->picAddNav) picNav->picAddNav->hide();
}

bool Form1::navigationShown() const {
    return !picNav->isHidden();
}

Ran Form1::Execute(Command command) {
    WebView *v = brwWebBrowser;
    switch (command) {
        case Command::Back:
            return RanIf(GoBack());
        case Command::Forward:
            return RanIf(v->GoForward());
        case Command::Stop:
            v->Stop();
            return Ran::Done;
        case Command::Refresh:
            v->Refresh();
            return Ran::Done;
        case Command::ReloadFromServer:
            v->RefreshFromServer();
            return Ran::Done;
        case Command::Home:
            v->GoHome();
            return Ran::Done;
        case Command::Search:
            v->GoSearch();
            return Ran::Done;
        case Command::NavigationPage:
            ToggleNavigationPage();
            return Ran::Done;
        case Command::Print:
            v->Print(window());
            return Ran::Done;
        case Command::Lock:
            setLocked(true);
            return Ran::Done;
        case Command::SavePage: {
            if (v->LocationURL().isEmpty()) return Ran::Nothing;
            const QString name = SafeFileName(caption()).isEmpty() ? QStringLiteral("网页")
                                                                   : SafeFileName(caption());
            const QString path =
                AskDownloadPath(dialogs_, window(), name + QStringLiteral(".mhtml"));
            if (path.isEmpty()) return Ran::Nothing;
            v->SavePage(path);
            return Ran::Done;
        }
        default:
            return Ran::NotMine;
    }
}

QString Form1::url() const {
    return brwWebBrowser->LocationURL();
}
QString Form1::title() const {
    return brwWebBrowser->Title();
}
void Form1::navigate(const QString &address) {
    asked_ = address;
    brwWebBrowser->Navigate(address);
}
void Form1::goHome() {
    brwWebBrowser->GoHome();
}
bool Form1::isLoading() const {
    return brwWebBrowser->IsLoading();
}
bool Form1::canGoBack() const {
    return brwWebBrowser->CanGoBack();
}
bool Form1::canGoForward() const {
    return brwWebBrowser->CanGoForward();
}
void Form1::setZoom(int percent) {
    brwWebBrowser->SetPageZoom(QStringLiteral("%1%").arg(percent));
}
void Form1::exitFullScreen() {
    brwWebBrowser->ExitFullScreen();
}
QByteArray Form1::savedHistory() const {
    return brwWebBrowser->SavedHistory();
}
void Form1::restoreHistory(const QString &url, const QByteArray &history) {
    if (history.isEmpty())
        brwWebBrowser->Navigate(url);
    else
        brwWebBrowser->RestoreHistory(history);
}

void Form1::focusPage() {
    picNav->hide();
    if (isLocked())  // what is typed next is the password, not more of the address
        picPass->txtPass->setFocus(Qt::OtherFocusReason);
    else
        brwWebBrowser->widget()->setFocus();
}

bool Form1::takeKeyboard() {
    if (navigationShown()) {  // over the lock too: never a field nobody sees
        picNav->ensureBuilt();
        picNav->txtSearch->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (!isLocked()) return false;
    picPass->txtPass->setFocus(Qt::OtherFocusReason);
    return true;
}

bool Form1::holds(const QObject *widget) const {
    const auto *w = qobject_cast<const QWidget *>(widget);
    return w && (brwWebBrowser->widget()->isAncestorOf(w) || picPass->isAncestorOf(w));
}

tabrest::Rest Form1::restState() const {
    const tabrest::Rest r = brwWebBrowser->RestState();
    return r == tabrest::Rest::Awake && shrink_->shrunk() ? tabrest::Rest::Shrunk : r;
}

void Form1::setRest(tabrest::Rest rest) {
    using tabrest::Rest;
    if (rest == Rest::Shrunk || rest == Rest::Frozen) {  // a frozen page draws no more
        shrink_->shrink([this, rest] {
            if (rest == Rest::Frozen) brwWebBrowser->SetRest(rest);
        });
        return;
    }
    brwWebBrowser->SetRest(rest);
}

tabrest::Rest Form1::deepestRest() const {
    if (picPermission && !picPermission->isHidden()) return tabrest::Rest::Awake;
    return brwWebBrowser->DeepestRest();
}

void Form1::setColours(const QColor &cover, const QColor &editor, const QColor &bar) {
    picPass->setColour(cover);
    picNav->setColours(cover, editor, bar);
}

void Form1::onDownloadComplete() {
    const QString zoom = settings::Text(settings::Key::Zoom);
    brwWebBrowser->SetPageZoom(zoom + QLatin1Char('%'));
    judgeTitle();
    emit PageLoaded(zoom);
}

void Form1::onTitleChange(const QString &text) {
    setWindowTitle(text);
    emit CaptionChanged();
    judgeTitle();
}

// The engine's stand-in for a page without a title is its address: not judged. The engine
// tells them apart only once the page's history entry has its title, by the end of the load
// at the latest: judged then again.
void Form1::judgeTitle() {
    const QString text = brwWebBrowser->Title();
    const std::optional<bool> own = brwWebBrowser->TitleIsOwn();
    const bool standIn = own ? !*own : TitleIsAddress(text, QUrl(brwWebBrowser->LocationURL()));
    if (!standIn && IsPageFiltered(text)) setLocked(true);
}

WebView *Form1::openWindow(bool background) {
    Form1 *tab = host_.openTab(background, isPrivate());
    if (!tab) return nullptr;
    tab->openedByPage_ = true;
    tab->setLocked(isLocked());  // a window opened from a locked tab starts locked
    return tab->brwWebBrowser;
}

// A file the page offers goes to the download manager, unless "AutoDownload" is "0": then
// the engine saves it itself, to the place asked for all the same.
DownloadAnswer Form1::offerDownload(const DownloadOffer &offer) {
    const QString path =
        AskDownloadPath(dialogs_, this, ProposedFileName(offer.suggestedName, offer.url));
    if (path.isEmpty()) return {};  // a cancelled dialog starts nothing
    if (!settings::IsOn(settings::Key::AutoDownload)) return {DownloadAnswer::SaveByEngine, path};
    // The engine's own request, never a second one: a one-time link, a form's post, a
    // script's blob arrive as the page asked for them, with its cookies and its login.
    if (host_.download(path, offer.url, offer.engineTransfer, isPrivate()))
        return {DownloadAnswer::Taken, {}};
    return {};
}
