#include "webpage.h"

#include <QAuthenticator>
#include <QBuffer>
#include <QHash>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineView>
#include <memory>

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

// The logins typed in this session, per profile: held in memory only, gone with the profile.
class LoginMemory : public QObject {
  public:
    using QObject::QObject;
    static LoginMemory *of(QWebEngineProfile *profile) {
        static const QString name = QStringLiteral("logins typed");
        if (auto *held = profile->findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
            return static_cast<LoginMemory *>(held);
        auto *memory = new LoginMemory(profile);
        memory->setObjectName(name);
        return memory;
    }
    QHash<QString, std::pair<QString, QString>> known;
};

static_assert(int(pagequestions::Question::Alert) == int(PageDialog::Alert) &&
              int(pagequestions::Question::Confirm) == int(PageDialog::Confirm) &&
              int(pagequestions::Question::Prompt) == int(PageDialog::Prompt));

}  // namespace

Page::Page(QWebEngineProfile *profile, QtWebView *owner)
    : QWebEnginePage(profile), owner_(owner), token_(pagequestions::Enrol(this)) {
    scripts().insert(pagequestions::Script(token_));
    // A page told to ask no more may ask again once it navigates; a question left open
    // would hold the page's renderer.
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        asked_ = 0;
        silenced_ = false;
        cancelDialogs();
    });
    connect(this, &QWebEnginePage::loadFinished, this, [this] { triedLogins_.clear(); });
}

Page::~Page() {
    pagequestions::Leave(token_);
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

void Page::question(QWebEngineUrlRequestJob *job, const pagequestions::Question &q) {
    QPointer<QWebEngineUrlRequestJob> held(job);
    auto reply = [held](const std::optional<QString> &answer) {
        if (!held) return;  // the page went, or its frame
        auto *body = new QBuffer(held);
        body->setData(answer ? "1" + answer->toUtf8() : QByteArray("0"));
        held->reply("text/plain; charset=utf-8", body);
    };
    const auto kind = PageDialog::Kind(q.kind);
    QWebEngineView *view = QWebEngineView::forPage(this);
    // One question at a time, as the engine's own: another frame's meanwhile is answered.
    if (silenced_ || !view || !owner_ || open_)
        return reply(kind == PageDialog::Alert ? std::optional<QString>(QString()) : std::nullopt);
    auto *dialog =
        new PageDialog(view, kind, siteOf(job->initiator()), q.text, q.value, ++asked_ > 1);
    connect(job, &QObject::destroyed, dialog, &PageDialog::cancel);
    openDialog(dialog, [this, reply](PageDialog *d) {
        silenced_ = d->silenced();
        reply(d->answer());
    });
}

// Up over the page without waiting: done hears the answer.
void Page::openDialog(PageDialog *dialog, std::function<void(PageDialog *)> done) {
    open_ = dialog;
    auto up = std::make_shared<DialogUp>(owner_);
    connect(dialog, &PageDialog::Answered, this, [this, dialog, up, done] {
        open_ = nullptr;
        dialog->deleteLater();
        done(dialog);
    });
    dialog->open();
}

void Page::login(const QUrl &url, QAuthenticator *auth, const QString &proxy) {
    const QString where = proxy.isEmpty() ? url.host() : proxy;
    const QString key = (proxy.isEmpty() ? url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery |
                                                        QUrl::RemoveFragment | QUrl::RemoveUserInfo)
                                               .toString()
                                         : QStringLiteral("proxy ") + proxy) +
                        QLatin1Char('\n') + auth->realm();
    auto &known = LoginMemory::of(profile())->known;
    if (known.contains(key) && !triedLogins_.contains(key)) {
        triedLogins_.insert(key);
        auth->setUser(known[key].first);
        auth->setPassword(known[key].second);
        return;
    }
    // Asked again in the same load: what was typed is wrong.
    const bool wrong = triedLogins_.remove(key);
    if (wrong) known.remove(key);
    const QString realm = auth->realm();
    *auth = QAuthenticator();  // the page shows what the server sent for a refusal
    const QString text =
        (wrong ? QStringLiteral("用户名或密码不正确。") : QString()) +
        (proxy.isEmpty() ? QStringLiteral("%1 要求您输入用户名和密码。")
                         : QStringLiteral("代理服务器 %1 要求您输入用户名和密码。"))
            .arg(where) +
        (realm.isEmpty() ? QString() : QStringLiteral("\n该网站说：“%1”").arg(realm));
    // Asked once the engine's call has returned, never inside it.
    QTimer::singleShot(0, this, [this, key, text] { askLogin(key, text); });
}

void Page::askLogin(const QString &key, const QString &text) {
    QWebEngineView *view = QWebEngineView::forPage(this);
    if (!view || !owner_ || open_) return;
    auto *dialog =
        new PageDialog(view, PageDialog::Login, QStringLiteral("需要登录"), text, {}, false);
    openDialog(dialog, [this, key](PageDialog *d) {
        if (!d->answer()) return;
        LoginMemory::of(profile())->known.insert(key, {d->user(), d->password()});
        triggerAction(QWebEnginePage::Reload);
    });
}

// The engine's own questions, over the page alone, say which site asks.
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
    std::optional<QString> answer;
    {
        const DialogUp up(owner_);
        ++waiting_;
        answer = dialog.exec();
        --waiting_;
    }
    if (!owner_) view->deleteLater();  // its tab went meanwhile: the view waited for this
    silenced_ = dialog.silenced();
    return answer;
}
