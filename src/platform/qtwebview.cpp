#include "qtwebview.h"

#include <QAuthenticator>
#include <QDataStream>
#include <QIODevice>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFindTextResult>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <cstring>

#include "core/programfolder.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/timing.h"
#include "dialogs.h"
#include "webengine.h"
#include "webpage.h"

namespace {

// What a page asks for, as the permission bar names it.
QString FeatureName(QWebEnginePage::Feature feature) {
    switch (feature) {
        case QWebEnginePage::Notifications:
            return QStringLiteral("显示通知");
        case QWebEnginePage::Geolocation:
            return QStringLiteral("获取您的位置");
        case QWebEnginePage::MediaAudioCapture:
            return QStringLiteral("使用您的麦克风");
        case QWebEnginePage::MediaVideoCapture:
            return QStringLiteral("使用您的摄像头");
        case QWebEnginePage::MediaAudioVideoCapture:
            return QStringLiteral("使用您的摄像头和麦克风");
        case QWebEnginePage::MouseLock:
            return QStringLiteral("隐藏并锁定鼠标指针");
        case QWebEnginePage::DesktopVideoCapture:
        case QWebEnginePage::DesktopAudioVideoCapture:
            return QStringLiteral("共享您的屏幕");
    }
    return QStringLiteral("使用一项功能");
}

}  // namespace

QtWebView::QtWebView(WebEngine *engine, QWidget *parent, bool offTheRecord)
    : WebView(parent),
      engine_(engine),
      view_(new QWebEngineView(parent)),
      offTheRecord_(offTheRecord) {
    auto *page = new Page(offTheRecord ? engine->privateProfile() : engine->profile(), this);
    view_->setPage(page);
    page->setParent(view_);
    engine->views_.insert(page, this);
    connect(view_, &QObject::destroyed, this, [this, engine, page] {
        engine->views_.remove(page);
        view_ = nullptr;
    });
    // Counted by the view, which may outlive this while a question of its page is up.
    if (offTheRecord)
        connect(view_, &QObject::destroyed, engine, [engine] { engine->privateViewGone(); });

    // Only here does the engine say whether a click asked for the window.
    connect(page, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest &request) {
                if (!request.isUserInitiated())
                    return emit PopupBlocked(request.requestedUrl().toString());
                // Ctrl+click and a middle click: a tab behind this one, as browsers do.
                const bool background =
                    request.destination() == QWebEngineNewWindowRequest::InNewBackgroundTab;
                if (QWebEnginePage *target = requestNewWindow(background)) request.openIn(target);
            });
    connect(page, &QWebEnginePage::loadStarted, this,
            [this] { emit StatusTextChange(tr("正在打开网页...")); });
    connect(page, &QWebEnginePage::linkHovered, this,
            [this](const QString &url) { emit StatusTextChange(url); });
    connect(page, &QWebEnginePage::loadProgress, this,
            [this](int p) { emit ProgressChange(p, 100); });
    connect(page, &QWebEnginePage::urlChanged, this,
            [this](const QUrl &url) { emit NavigateComplete2(url.toString()); });
    connect(page, &QWebEnginePage::titleChanged, this,
            [this](const QString &t) { emit TitleChange(t); });
    // A load that was stopped (by the user, or because the link was a file to download)
    // leaves the page that was there: no fault to report.
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &i) {
        loading_ = i.status() == QWebEngineLoadingInfo::LoadStartedStatus;
        StartupMark(loading_ ? "load started" : "first page loaded");
        if (loading_) return;
        failed_ = i.status() == QWebEngineLoadingInfo::LoadFailedStatus;
        emit StatusTextChange(failed_ ? tr("无法打开网页") : tr("完成"));
        if (failed_) emit NavigateError(i.url().toString());
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this] {
        emit ProgressChange(-1, 100);
        emit DownloadComplete();
        emit HistoryChange();
    });
    connect(page, &QWebEnginePage::urlChanged, this, &WebView::HistoryChange);
    connect(page, &QWebEnginePage::iconChanged, this, &WebView::IconChange);
    connect(page, &QWebEnginePage::findTextFinished, this,
            [this](const QWebEngineFindTextResult &r) {
                emit FindResult(r.activeMatch(), r.numberOfMatches());
            });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](const QWebEnginePage::RenderProcessTerminationStatus &status, int) {
                // A helper that could not start reports a status outside the enum: read as a
                // number, never as the enum, and taken as a crash like every other.
                int raw = 0;
                std::memcpy(&raw, &status, qMin(sizeof raw, sizeof status));
                if (raw != QWebEnginePage::NormalTerminationStatus) emit RenderProcessGone();
            });
    connect(page, &QWebEnginePage::certificateError, this,
            [this](const QWebEngineCertificateError &error) {
                QWebEngineCertificateError e = error;
                if (!e.isOverridable()) return e.rejectCertificate();  // the engine's own page
                e.defer();
                if (certificate_) certificate_->rejectCertificate();
                certificate_ = e;
                emit CertificateProblem(e.url().toString(), e.description());
            });
    connect(page, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl &origin, QWebEnginePage::Feature feature) {
                emit PermissionRequested(origin.toString(), int(feature), FeatureName(feature));
            });
    connect(page, &QWebEnginePage::windowCloseRequested, this, &WebView::CloseRequested);
    connect(page, &QWebEnginePage::fullScreenRequested, this,
            [this](QWebEngineFullScreenRequest request) {
                request.accept();
                fullScreen_ = request.toggleOn();
                emit FullScreenRequested(request.toggleOn());
            });
    connect(page, &QWebEnginePage::authenticationRequired, this,
            [page](const QUrl &url, QAuthenticator *auth) { page->login(url, auth, {}); });
    connect(page, &QWebEnginePage::proxyAuthenticationRequired, this,
            [page](const QUrl &url, QAuthenticator *auth, const QString &proxy) {
                page->login(url, auth, proxy);
            });
}

namespace {
using tabrest::Rest;
Rest RestOf(QWebEnginePage::LifecycleState state) {
    switch (state) {
        case QWebEnginePage::LifecycleState::Frozen:
            return Rest::Frozen;
        case QWebEnginePage::LifecycleState::Discarded:
            return Rest::Discarded;
        default:
            return Rest::Awake;
    }
}
}  // namespace

Rest QtWebView::RestState() const {
    return page() ? RestOf(page()->lifecycleState()) : Rest::Awake;
}

// The engine's advice covers sound, capture and pages a script opened together; what it cannot
// know is ours. It judges typed form text only once a page is frozen: an awake page it would
// freeze may go further, and SetRest asks it again on the way.
Rest QtWebView::DeepestRest() const {
    if (!page() || loading_ || fullScreen_ || dialogsOpen_ > 0 || certificate_) return Rest::Awake;
    for (const auto &d : downloads_)
        if (d && !d->isFinished()) return Rest::Awake;
    const Rest advised = RestOf(page()->recommendedState());
    return advised == Rest::Frozen && RestState() == Rest::Awake ? Rest::Discarded : advised;
}

void QtWebView::SetRest(Rest rest) {
    using State = QWebEnginePage::LifecycleState;
    QWebEnginePage *p = page();
    if (!p || RestOf(p->lifecycleState()) == rest || p->isVisible()) return;
    if (rest == Rest::Awake) return p->setLifecycleState(State::Active);
    if (p->lifecycleState() == State::Active) p->setLifecycleState(State::Frozen);
    if (rest == Rest::Discarded && p->recommendedState() == State::Discarded)
        p->setLifecycleState(State::Discarded);
}

// The history entry holds only what the page set; the page's title falls back on the address.
std::optional<bool> QtWebView::TitleIsOwn() const {
    if (!page()) return std::nullopt;
    return !page()->history()->currentItem().title().isEmpty();
}

Dialogs &QtWebView::dialogs() const {
    return *engine_->dialogs_;
}

QtWebView::~QtWebView() {
    if (!view_) return;
    engine_->views_.remove(view_->page());
    auto *page = static_cast<Page *>(view_->page());
    page->cancelDialogs();
    if (!page->waiting()) {
        delete view_;
        return;
    }
    // An engine's question is still waiting on the stack: the view goes once it returns.
    view_->hide();
    view_->setParent(nullptr);
}

QWidget *QtWebView::widget() {
    return view_;
}
QWebEnginePage *QtWebView::page() const {
    return view_ ? view_->page() : nullptr;
}

QWebEnginePage *QtWebView::requestNewWindow(bool background) {
    auto *target = qobject_cast<QtWebView *>(host() ? host()->openWindow(background) : nullptr);
    return target ? target->page() : nullptr;
}

void QtWebView::Navigate(const QString &address) {
    // The engine's own guess at what was typed: host-like text becomes http://, an existing
    // absolute path file://; never a path relative to the program's working folder.
    StartupMark("navigate called");
    view_->load(QUrl::fromUserInput(address));
}

bool QtWebView::GoBack() {
    if (!view_->history()->canGoBack()) return false;
    view_->back();
    return true;
}

bool QtWebView::GoForward() {
    if (!view_->history()->canGoForward()) return false;
    view_->forward();
    return true;
}

void QtWebView::Stop() {
    view_->stop();
}
void QtWebView::Refresh() {
    view_->reload();
}
void QtWebView::RefreshFromServer() {
    view_->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
}
bool QtWebView::CanGoBack() const {
    return view_ && view_->history()->canGoBack();
}
bool QtWebView::CanGoForward() const {
    return view_ && view_->history()->canGoForward();
}

QByteArray QtWebView::SavedHistory() const {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << *view_->history();
    return bytes;
}

void QtWebView::RestoreHistory(const QByteArray &bytes) {
    QDataStream in(bytes);
    in >> *view_->history();
}

void QtWebView::Find(const QString &text, bool backward, bool matchCase) {
    QWebEnginePage::FindFlags flags;
    if (backward) flags |= QWebEnginePage::FindBackward;
    if (matchCase) flags |= QWebEnginePage::FindCaseSensitively;
    view_->page()->findText(text, flags);
}

void QtWebView::SavePage(const QString &path) {
    view_->page()->save(path, QWebEngineDownloadRequest::MimeHtmlSaveFormat);
}

void QtWebView::ExitFullScreen() {
    view_->triggerPageAction(QWebEnginePage::ExitFullScreen);
}

void QtWebView::AnswerCertificate(bool proceed) {
    if (!certificate_) return;
    if (proceed)
        certificate_->acceptCertificate();
    else
        certificate_->rejectCertificate();
    certificate_.reset();
}

void QtWebView::AnswerPermission(const QString &origin, int feature, bool allow) {
    view_->page()->setFeaturePermission(
        QUrl(origin), QWebEnginePage::Feature(feature),
        allow ? QWebEnginePage::PermissionGrantedByUser : QWebEnginePage::PermissionDeniedByUser);
}

void QtWebView::GoHome() {
    StartupMark("navigate called");
    // The start page's search box asks the engine the "Search" setting chose.
    QUrl home = QUrl::fromLocalFile(AppDir() + QStringLiteral("数据/home.html"));
    home.setQuery(QStringLiteral("search=") + settings::Text(settings::Key::Search).left(1));
    view_->load(home);
}

void QtWebView::GoSearch() {
    const QString front = SearchFrontPage(settings::Text(settings::Key::Search));
    if (!front.isEmpty()) view_->load(QUrl(front));
}

void QtWebView::Print(QWidget *dialogParent) {
    if (printer_) return;  // one print job at a time
    dialogs().waitForRelease();
    if (printer_) return;
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer_.get(), dialogParent);
    if (dialog.exec() != QDialog::Accepted) {
        printer_.reset();
        return;
    }
    connect(
        view_, &QWebEngineView::printFinished, this, [this] { printer_.reset(); },
        Qt::SingleShotConnection);
    view_->print(printer_.get());
}

QString QtWebView::LocationURL() const {
    return view_ ? view_->url().toString() : QString();
}
QString QtWebView::Title() const {
    return view_ ? view_->title() : QString();
}

bool QtWebView::SetPageZoom(const QString &percentText) {
    QString t = percentText.trimmed();
    if (!t.endsWith(QLatin1Char('%'))) return false;
    bool ok = false;
    const double percent = t.chopped(1).toDouble(&ok);
    if (!ok || percent < 25 || percent > 500) return false;  // the engine's own limits
    view_->setZoomFactor(percent / 100.0);
    return true;
}

double QtWebView::PageZoom() const {
    return view_ ? view_->zoomFactor() : 1.0;
}

void QtWebView::SetInputEnabled(bool enabled) {
    view_->setEnabled(enabled);
    view_->setFocusPolicy(enabled ? Qt::StrongFocus : Qt::NoFocus);
    if (!enabled && view_->hasFocus()) view_->clearFocus();
}
