#include "qtwebview.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "core/config.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/timing.h"
#include "language.h"
#include "transfer.h"

namespace {

class Page : public QWebEnginePage {
  public:
    Page(QWebEngineProfile *profile, QtWebView *owner) : QWebEnginePage(profile), owner_(owner) {}

  protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override {
        if (type == NavigationTypeFormSubmitted) owner_->formSubmitted(url);
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

  private:
    QtWebView *owner_;
};

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
                        emit Finished(*ok, *ok ? QString() : request_->interruptReasonString());
                });
        request_->accept();
        // The engine had the response before it offered the file.
        QMetaObject::invokeMethod(this, &Transfer::ResponseStarted, Qt::QueuedConnection);
    }
    void Cancel() override {
        if (!request_) return;
        request_->disconnect(this);
        // An interrupted download still holds its partial file: the cancel removes it.
        if (request_->state() != QWebEngineDownloadRequest::DownloadCompleted) request_->cancel();
        request_.clear();
    }
    int HttpStatus() const override { return 200; }
    std::optional<qint64> ContentLength() const override {
        if (!request_ || request_->totalBytes() < 0) return std::nullopt;
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

WebEngine::WebEngine(const QString &storageDir, QObject *parent)
    : QObject(parent), profile_(new QWebEngineProfile(QStringLiteral("olumetta"), this)) {
    QDir().mkpath(storageDir);
    profile_->setPersistentStoragePath(storageDir + QStringLiteral("/profile"));
    profile_->setCachePath(storageDir + QStringLiteral("/cache"));
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile_->setHttpAcceptLanguage(QLatin1String(kAcceptLanguage));
    connect(profile_, &QWebEngineProfile::downloadRequested, this, &WebEngine::onDownloadRequested);
}

// Views go before the profile they use; the profile is deleted last so cookies and
// cache are flushed.
WebEngine::~WebEngine() {
    const auto views = views_.values();
    for (QtWebView *v : views) delete v->view();
    delete profile_;
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
    QtWebView *v = views_.value(request->page());
    if (!v) return request->accept();
    const QUrl url = request->url();
    DownloadOffer offer;
    offer.url = url.toString();
    offer.suggestedName = request->suggestedFileName();
    const bool http = url.scheme() == u"http" || url.scheme() == u"https";
    offer.refetchable = http && url != v->formTarget_;
    auto *engineFetch = new EngineTransfer(request);
    offer.engineTransfer = engineFetch;
    emit v->FileDownload(&offer);
    if (engineFetch->parent()) return;  // a task runs it
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
                    emit PopupBlocked(request.requestedUrl().toString());
                else if (QWebEnginePage *target = requestNewWindow())
                    request.openIn(target);
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
        if (i.status() == QWebEngineLoadingInfo::LoadStartedStatus) return;
        const bool failed = i.status() == QWebEngineLoadingInfo::LoadFailedStatus;
        emit StatusTextChange(failed ? tr("无法打开网页") : tr("完成"));
        if (failed) emit NavigateError(i.url().toString());
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this] {
        emit ProgressChange(-1, 100);
        emit DownloadComplete();
    });
}

QtWebView::~QtWebView() {
    if (view_) {
        engine_->views_.remove(view_->page());
        delete view_;
    }
}

QWidget *QtWebView::widget() {
    return view_;
}
QWebEnginePage *QtWebView::page() const {
    return view_ ? view_->page() : nullptr;
}

void QtWebView::formSubmitted(const QUrl &url) {
    // A form's answer that turns out to be a file cannot be fetched again by its address.
    formTarget_ = url;
}

QWebEnginePage *QtWebView::requestNewWindow() {
    WebView *target = nullptr;
    bool cancel = false;
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

void QtWebView::GoHome() {
    StartupMark("navigate called");
    view_->load(QUrl::fromLocalFile(AppDir() + QStringLiteral("数据/home.html")));
}

void QtWebView::GoSearch() {
    const QString front = SearchFrontPage(settings::Text(settings::Key::Search));
    if (!front.isEmpty()) view_->load(QUrl(front));
}

void QtWebView::Print(QWidget *dialogParent) {
    if (printer_) return;  // one print job at a time
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
