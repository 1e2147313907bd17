#include "webpage.h"

#include <QWebEngineView>

#include "dialogs.h"
#include "qtwebview.h"

namespace {

// A page's dialog is up for the life of this.
struct DialogUp {
    explicit DialogUp(QtWebView *view) : view_(view) { view_->countDialog(1); }
    ~DialogUp() {
        if (view_) view_->countDialog(-1);
    }
    QPointer<QtWebView> view_;
};

QString siteOf(const QUrl &origin) {
    const QString host = origin.host();
    return host.isEmpty() ? QStringLiteral("网页消息") : host + QStringLiteral(" 显示");
}

}  // namespace

Page::Page(QWebEngineProfile *profile, QtWebView *owner) : QWebEnginePage(profile), owner_(owner) {
    // A page told to ask no more may ask again once it navigates.
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        asked_ = 0;
        silenced_ = false;
    });
}

void Page::cancelDialogs() {
    if (QWebEngineView *view = QWebEngineView::forPage(this))
        for (PageDialog *d : view->findChildren<PageDialog *>()) d->cancel();
}

bool Page::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) {
    // A bookmark in the listing of the bookmark folder opens as the desktop would open it.
    if (isMainFrame && type == NavigationTypeLinkClicked && url.isLocalFile() &&
        url.path().endsWith(QLatin1String(".zvb"))) {
        emit owner_->BookmarkFileOpened(url.toLocalFile());
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

// A page's own dialogs, over the page alone, say which site asks.
void Page::javaScriptAlert(const QUrl &origin, const QString &msg) {
    ask(PageDialog::Alert, origin, msg, {});
}

bool Page::javaScriptConfirm(const QUrl &origin, const QString &msg) {
    return ask(PageDialog::Confirm, origin, msg, {}).has_value();
}

bool Page::javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &defaultValue,
                            QString *result) {
    const auto answer = ask(PageDialog::Prompt, origin, msg, defaultValue);
    if (answer && result) *result = *answer;
    return answer.has_value();
}

std::optional<std::pair<QString, QString>> Page::askLogin(const QString &text) {
    QWebEngineView *view = QWebEngineView::forPage(this);
    if (!view || !owner_) return std::nullopt;
    PageDialog dialog(view, PageDialog::Login, QStringLiteral("需要登录"), text, {}, false);
    if (!wait(dialog, view)) return std::nullopt;
    return std::pair{dialog.user(), dialog.password()};
}

// The engine's own file chooser, after the disguise like every box.
QStringList Page::chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                              const QStringList &acceptedMimeTypes) {
    const DialogUp up(owner_);
    owner_->dialogs().waitForRelease();
    return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
}

std::optional<QString> Page::ask(PageDialog::Kind kind, const QUrl &origin, const QString &text,
                                 const QString &value) {
    QWebEngineView *view = QWebEngineView::forPage(this);
    if (silenced_ || !view || !owner_)
        return kind == PageDialog::Alert ? std::optional<QString>(QString()) : std::nullopt;
    PageDialog dialog(view, kind, siteOf(origin), text, value, ++asked_ > 1);
    const auto answer = wait(dialog, view);
    silenced_ = dialog.silenced();
    return answer;
}

std::optional<QString> Page::wait(PageDialog &dialog, QWebEngineView *view) {
    const DialogUp up(owner_);
    const auto answer = dialog.exec();
    if (!owner_) view->deleteLater();  // its tab went meanwhile: the view waited for this
    return answer;
}
