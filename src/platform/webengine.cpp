#include "webengine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "core/filewriter.h"
#include "enginetransfer.h"
#include "language.h"
#include "pagequestions.h"
#include "qtwebview.h"

WebEngine::WebEngine(const QString &storageDir, Dialogs &dialogs, QObject *parent)
    : QObject(parent),
      profile_(new QWebEngineProfile(QStringLiteral("olumetta"), this)),
      dialogs_(&dialogs) {
    QDir().mkpath(storageDir);
    config::makePrivate(storageDir);
    keepLinksPrivate(storageDir + QStringLiteral("/profile"));
    profile_->setPersistentStoragePath(storageDir + QStringLiteral("/profile"));
    profile_->setCachePath(storageDir + QStringLiteral("/cache"));
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    setUp(profile_);
}

// The engine makes its table of visited links with the process's umask, for all to read; a
// file already there keeps its mode when the engine rewrites it.
void WebEngine::keepLinksPrivate(const QString &profileDir) {
    QDir().mkpath(profileDir);
    const QByteArray links = QFile::encodeName(profileDir + QStringLiteral("/Visited Links"));
    const int fd = ::open(links.constData(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return;
    ::fchmod(fd, 0600);
    ::close(fd);
}

// What both profiles share: the language, full screen, the downloads.
void WebEngine::setUp(QWebEngineProfile *profile) {
    profile->setHttpAcceptLanguage(QLatin1String(kAcceptLanguage));
    // A video's own full-screen button asks the frame for the screen.
    profile->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    connect(profile, &QWebEngineProfile::downloadRequested, this, &WebEngine::onDownloadRequested);
    pagequestions::Serve(profile);
}

QWebEngineProfile *WebEngine::privateProfile() {
    if (!private_) {
        private_ = new QWebEngineProfile(this);  // no name: off the record
        setUp(private_);
    }
    ++privateViews_;
    return private_;
}

// The pages go with their views: the profile once they have, as an incognito window's.
void WebEngine::privateViewGone() {
    if (--privateViews_ > 0 || !private_) return;
    offered_.removeIf([this](const auto &offer) { return offer.key().first == private_; });
    private_->deleteLater();
    private_ = nullptr;
}

// Views go before the profile they use; the profile is deleted last so cookies and
// cache are flushed.
WebEngine::~WebEngine() {
    const auto views = views_.values();
    for (QtWebView *v : views) delete v->view();
    delete private_;
    const QString kept = profile_->persistentStoragePath();
    delete profile_;
    config::makePrivate(kept, false);  // the engine makes some of its files for all to read
}

void WebEngine::ClearHistory() {
    profile_->clearAllVisitedLinks();
    for (QtWebView *v : std::as_const(views_))
        if (QWebEnginePage *p = v->page()) p->history()->clear();
}

QtWebView *WebEngine::createView(QWidget *parent, bool offTheRecord) {
    return new QtWebView(this, parent, offTheRecord);
}

void WebEngine::onDownloadRequested(QWebEngineDownloadRequest *request) {
    // The request must be answered inside this signal.
    if (request->isSavePageDownload()) return request->accept();  // placed by SavePage
    // The engine offers a download it lost the connection for again, under the same id, as
    // it resumes it itself: the task's transfer follows it on, and the user is not asked twice.
    // Each profile counts its own ids.
    const Offer key{sender(), request->id()};
    if (offered_.contains(key)) {
        if (EngineTransfer *t = offered_.value(key)) return t->Resumed(request);
        return request->cancel();
    }
    offered_.insert(key, nullptr);
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
    const DownloadAnswer answer = v->host() ? v->host()->offerDownload(offer) : DownloadAnswer{};
    if (answer.kind == DownloadAnswer::Taken) {  // a task runs it, and owns it
        offered_[key] = engineFetch;
        return;
    }
    delete engineFetch;
    if (answer.kind == DownloadAnswer::Cancel) return request->cancel();
    EngineTransfer::SaveTo(request, answer.savePath);
    QPointer<QtWebView> view(v);
    connect(request, &QWebEngineDownloadRequest::stateChanged, this,
            [view, request, path = answer.savePath](QWebEngineDownloadRequest::DownloadState s) {
                const auto ok = EngineTransfer::Outcome(s);
                if (!ok) return;
                // An interrupted download's partial file goes with the cancel.
                if (s == QWebEngineDownloadRequest::DownloadInterrupted) request->cancel();
                if (view && s != QWebEngineDownloadRequest::DownloadCancelled)
                    emit view->DownloadSaved(path, *ok);
            });
    request->accept();
}
