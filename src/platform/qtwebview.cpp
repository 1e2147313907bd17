#include "qtwebview.h"

#include <QAuthenticator>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <cstring>

#include "core/filewriter.h"
#include "core/programfolder.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/timing.h"
#include "dialogs.h"
#include "language.h"
#include "pagedialog.h"
#include "transfer.h"

namespace {

// A page's dialog is up for the life of this.
struct DialogUp {
    explicit DialogUp(QtWebView *view) : view_(view) { view_->countDialog(1); }
    ~DialogUp() {
        if (view_) view_->countDialog(-1);
    }
    QPointer<QtWebView> view_;
};

class Page : public QWebEnginePage {
  public:
    Page(QWebEngineProfile *profile, QtWebView *owner) : QWebEnginePage(profile), owner_(owner) {
        // A page told to ask no more may ask again once it navigates.
        connect(this, &QWebEnginePage::loadStarted, this, [this] {
            asked_ = 0;
            silenced_ = false;
        });
    }
    // Its tab goes: every question of the page still open is cancelled.
    void cancelDialogs() {
        if (QWebEngineView *view = QWebEngineView::forPage(this))
            for (PageDialog *d : view->findChildren<PageDialog *>()) d->cancel();
    }

  protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override {
        // A bookmark in the listing of the bookmark folder opens as the desktop would open it.
        if (isMainFrame && type == NavigationTypeLinkClicked && url.isLocalFile() &&
            url.path().endsWith(QLatin1String(".zvb"))) {
            emit owner_->BookmarkFileOpened(url.toLocalFile());
            return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }
    // No script dialogs about script errors: the console is where they go.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int,
                                  const QString &) override {}
    // A page's own dialogs, over the page alone, say which site asks.
    void javaScriptAlert(const QUrl &origin, const QString &msg) override {
        ask(PageDialog::Alert, origin, msg, {});
    }
    bool javaScriptConfirm(const QUrl &origin, const QString &msg) override {
        return ask(PageDialog::Confirm, origin, msg, {}).has_value();
    }
    bool javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &defaultValue,
                          QString *result) override {
        const auto answer = ask(PageDialog::Prompt, origin, msg, defaultValue);
        if (answer && result) *result = *answer;
        return answer.has_value();
    }

  public:
    // A login the page's site or a proxy asks for, over the page like the page's questions.
    std::optional<std::pair<QString, QString>> askLogin(const QString &text) {
        QWebEngineView *view = QWebEngineView::forPage(this);
        if (!view || !owner_) return std::nullopt;
        PageDialog dialog(view, PageDialog::Login, QStringLiteral("需要登录"), text, {}, false);
        if (!wait(dialog, view)) return std::nullopt;
        return std::pair{dialog.user(), dialog.password()};
    }

  protected:
    // The engine's own file chooser, after the disguise like every box.
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override {
        const DialogUp up(owner_);
        owner_->dialogs().waitForRelease();
        return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
    }

  private:
    // The answer: OK with a prompt's text, or none for cancel. A silenced page is answered at
    // once: an alert OK, the others cancel.
    std::optional<QString> ask(PageDialog::Kind kind, const QUrl &origin, const QString &text,
                               const QString &value) {
        QWebEngineView *view = QWebEngineView::forPage(this);
        if (silenced_ || !view || !owner_)
            return kind == PageDialog::Alert ? std::optional<QString>(QString()) : std::nullopt;
        PageDialog dialog(view, kind, siteOf(origin), text, value, ++asked_ > 1);
        const auto answer = wait(dialog, view);
        silenced_ = dialog.silenced();
        return answer;
    }
    std::optional<QString> wait(PageDialog &dialog, QWebEngineView *view) {
        const DialogUp up(owner_);
        const auto answer = dialog.exec();
        if (!owner_) view->deleteLater();  // its tab went meanwhile: the view waited for this
        return answer;
    }
    static QString siteOf(const QUrl &origin) {
        const QString host = origin.host();
        return host.isEmpty() ? QStringLiteral("网页消息") : host + QStringLiteral(" 显示");
    }
    QPointer<QtWebView> owner_;
    int asked_ = 0;  // questions since the page last navigated
    bool silenced_ = false;
};

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

// Whether a download has ended, and well. An interrupted one counts as failed: the engine
// would keep it to resume, and nothing here resumes it.
std::optional<bool> Outcome(QWebEngineDownloadRequest::DownloadState state) {
    switch (state) {
        case QWebEngineDownloadRequest::DownloadCompleted:
            return true;
        case QWebEngineDownloadRequest::DownloadCancelled:
        case QWebEngineDownloadRequest::DownloadInterrupted:
            return false;
        default:
            return std::nullopt;
    }
}

// Where the engine writes a download it keeps.
void saveTo(QWebEngineDownloadRequest *request, const QString &path) {
    const QFileInfo target(path);
    request->setDownloadDirectory(target.absolutePath());
    request->setDownloadFileName(target.fileName());
}

// Why the engine's download ended early, in words a user knows.
QString FailureText(QWebEngineDownloadRequest::DownloadInterruptReason r) {
    using R = QWebEngineDownloadRequest;
    switch (r) {
        case R::FileNoSpace:
            return QStringLiteral("磁盘空间不足");
        case R::FileNameTooLong:
        case R::FileTooLarge:
            return QStringLiteral("文件名过长");
        case R::FileAccessDenied:
        case R::FileFailed:
        case R::FileTransientError:
            return QStringLiteral("无法写入目标文件夹");
        case R::NetworkTimeout:
        case R::NetworkServerDown:
        case R::ServerUnreachable:
            return QStringLiteral("服务器无响应");
        case R::ServerBadContent:
        case R::ServerFailed:
        case R::ServerUnauthorized:
        case R::ServerCertProblem:
        case R::ServerForbidden:
            return QStringLiteral("服务器错误");
        default:
            return QStringLiteral("连接中断");
    }
}

// The engine's own download as a transfer: it writes the file itself, the task follows.
class EngineTransfer : public Transfer {
  public:
    explicit EngineTransfer(QWebEngineDownloadRequest *request) : request_(request) {}
    void SetFile(const QString &path) override { file_ = path; }
    bool WritesFile() const override { return true; }
    void Execute(const QUrl &, Method) override {
        if (!request_ || file_.isEmpty()) return;
        saveTo(request_, file_);
        connect(request_, &QWebEngineDownloadRequest::receivedBytesChanged, this,
                &Transfer::DataAvailable);
        connect(request_, &QWebEngineDownloadRequest::stateChanged, this,
                [this](QWebEngineDownloadRequest::DownloadState state) {
                    if (const auto ok = Outcome(state))
                        emit Finished(*ok,
                                      *ok ? QString() : FailureText(request_->interruptReason()));
                });
        request_->accept();
        // The engine had the response before it offered the file.
        QMetaObject::invokeMethod(this, &Transfer::ResponseStarted, Qt::QueuedConnection);
    }
    // The engine dropped this request to resume the download under another.
    void Lost() {
        if (!request_) return;
        request_->disconnect(this);
        request_.clear();
        emit Finished(false, QStringLiteral("连接中断"));
    }
    void Cancel() override {
        if (!request_) return;
        request_->disconnect(this);
        // An interrupted download still holds its partial file, under the engine's suffix while
        // it writes: the cancel removes both.
        if (request_->state() != QWebEngineDownloadRequest::DownloadCompleted) {
            request_->cancel();
            QFile::remove(file_ + QStringLiteral(".download"));
        }
        request_.clear();
    }
    int HttpStatus() const override { return 200; }
    std::optional<qint64> ContentLength() const override {
        if (!request_ || request_->totalBytes() <= 0) return std::nullopt;  // 0: not known
        return request_->totalBytes();
    }
    QByteArray Header(const QByteArray &) const override { return {}; }
    qint64 BytesAvailable() const override { return 0; }
    QByteArray GetChunk(qint64) override { return {}; }
    qint64 BytesWritten() const override { return request_ ? request_->receivedBytes() : 0; }

  private:
    QPointer<QWebEngineDownloadRequest> request_;
    QString file_;
};

}  // namespace

WebEngine::WebEngine(const QString &storageDir, Dialogs &dialogs, QObject *parent)
    : QObject(parent),
      profile_(new QWebEngineProfile(QStringLiteral("olumetta"), this)),
      dialogs_(&dialogs) {
    QDir().mkpath(storageDir);
    config::makePrivate(storageDir);
    profile_->setPersistentStoragePath(storageDir + QStringLiteral("/profile"));
    profile_->setCachePath(storageDir + QStringLiteral("/cache"));
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile_->setHttpAcceptLanguage(QLatin1String(kAcceptLanguage));
    // A video's own full-screen button asks the frame for the screen.
    profile_->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    connect(profile_, &QWebEngineProfile::downloadRequested, this, &WebEngine::onDownloadRequested);
}

// Views go before the profile they use; the profile is deleted last so cookies and
// cache are flushed.
WebEngine::~WebEngine() {
    const auto views = views_.values();
    for (QtWebView *v : views) delete v->view();
    const QString kept = profile_->persistentStoragePath();
    delete profile_;
    config::makePrivate(kept, false);  // the engine makes some of its files for all to read
}

void WebEngine::ClearHistory() {
    profile_->clearAllVisitedLinks();
    for (QtWebView *v : std::as_const(views_))
        if (QWebEnginePage *p = v->page()) p->history()->clear();
}

QtWebView *WebEngine::createView(QWidget *parent) {
    return new QtWebView(this, parent);
}

void WebEngine::onDownloadRequested(QWebEngineDownloadRequest *request) {
    // The request must be answered inside this signal.
    if (request->isSavePageDownload()) return request->accept();  // placed by SavePage
    // The engine offers a download it lost the connection for again, under the same id, to
    // resume it: nothing here resumes, so that download has ended, and the user is not asked
    // twice.
    if (offered_.contains(request->id())) {
        if (Transfer *t = offered_.value(request->id()))
            static_cast<EngineTransfer *>(t)->Lost();  // only the engine's are kept
        return request->cancel();
    }
    offered_.insert(request->id(), nullptr);
    QtWebView *v = views_.value(request->page());
    if (!v) return request->accept();
    v->downloads_.removeIf([](const auto &d) { return !d || d->isFinished(); });
    v->downloads_.append(request);  // the page stays awake while it runs
    const QUrl url = request->url();
    DownloadOffer offer;
    offer.url = url.toString();
    offer.suggestedName = request->suggestedFileName();
    auto *engineFetch = new EngineTransfer(request);
    offer.engineTransfer = engineFetch;
    emit v->FileDownload(&offer);
    if (engineFetch->parent()) {  // a task runs it
        offered_[request->id()] = engineFetch;
        return;
    }
    delete engineFetch;
    if (offer.cancel) return request->cancel();
    if (!offer.savePath.isEmpty()) {
        saveTo(request, offer.savePath);
        QPointer<QtWebView> view(v);
        connect(request, &QWebEngineDownloadRequest::stateChanged, this,
                [view, request, path = offer.savePath](QWebEngineDownloadRequest::DownloadState s) {
                    const auto ok = Outcome(s);
                    if (!ok) return;
                    // An interrupted download's partial file goes with the cancel.
                    if (s == QWebEngineDownloadRequest::DownloadInterrupted) request->cancel();
                    if (view && s != QWebEngineDownloadRequest::DownloadCancelled)
                        emit view->DownloadSaved(path, *ok);
                });
    }
    request->accept();
}

QtWebView::QtWebView(WebEngine *engine, QWidget *parent)
    : WebView(parent), engine_(engine), view_(new QWebEngineView(parent)) {
    auto *page = new Page(engine->profile(), this);
    view_->setPage(page);
    page->setParent(view_);
    engine->views_.insert(page, this);
    connect(view_, &QObject::destroyed, this, [this, engine, page] {
        engine->views_.remove(page);
        view_ = nullptr;
    });

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
    auto login = [page](const QUrl &url, QAuthenticator *auth, const QString &proxy) {
        const QString where = proxy.isEmpty() ? url.host() : proxy;
        const auto answer = page->askLogin(
            (proxy.isEmpty() ? QStringLiteral("%1 要求您输入用户名和密码。")
                             : QStringLiteral("代理服务器 %1 要求您输入用户名和密码。"))
                .arg(where) +
            (auth->realm().isEmpty() ? QString()
                                     : QStringLiteral("\n该网站说：“%1”").arg(auth->realm())));
        if (!answer) return void(*auth = QAuthenticator());  // cancelled: the page says so
        auth->setUser(answer->first);
        auth->setPassword(answer->second);
    };
    connect(page, &QWebEnginePage::authenticationRequired, this,
            [login](const QUrl &url, QAuthenticator *auth) { login(url, auth, {}); });
    connect(page, &QWebEnginePage::proxyAuthenticationRequired, this,
            [login](const QUrl &url, QAuthenticator *auth, const QString &proxy) {
                login(url, auth, proxy);
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
    if (dialogsOpen_ == 0) {
        delete view_;
        return;
    }
    // A question of the page is still waiting on the stack: the view goes once it returns.
    static_cast<Page *>(view_->page())->cancelDialogs();
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
    WebView *target = nullptr;
    bool cancel = false;
    if (background)
        emit NewBackgroundTab(&target);
    else
        emit NewWindow2(&target, &cancel);
    auto *qt = qobject_cast<QtWebView *>(target);
    return cancel || !qt ? nullptr : qt->page();
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
