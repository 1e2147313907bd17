#include "platform.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkProxyFactory>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include "core/programfolder.h"
#include "core/timing.h"
#include "desktop.h"
#include "keystate.h"
#include "qtdialogs.h"
#include "qttransfer.h"
#include "qtwebview.h"

Platform::~Platform() = default;

// The kernel's own estimate of what can still be had without swapping.
tabrest::Memory Platform::memory() {
    QFile file(QStringLiteral("/proc/meminfo"));
    tabrest::Memory m;
    if (!file.open(QIODevice::ReadOnly)) return m;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() < 2) continue;
        if (words[0] == "MemTotal:") m.totalKiB = words[1].toLongLong();
        if (words[0] == "MemAvailable:") m.availableKiB = words[1].toLongLong();
    }
    return m;
}

namespace {

class SystemPlatform : public Platform {
  public:
    WebView *createWebView(QWidget *parent, bool offTheRecord) override {
        prepareWebEngine();
        return engine_->createView(parent, offTheRecord);
    }
    // Only the running instance gets here: a later start hands over long before.
    void prepareWebEngine() override {
        if (engine_) return;
        engine_ = std::make_unique<WebEngine>(AppDir() + QStringLiteral("数据"), dialogs_);
        StartupMark("profile ready");
        // Downloads behind a login need the pages' cookies: the jar follows the web profile's
        // from the start, as its cookies arrive one by one.
        jar_ = new MirrorJar;
        jar_->setParent(engine_.get());
        QWebEngineCookieStore *store = engine_->profile()->cookieStore();
        QObject::connect(store, &QWebEngineCookieStore::cookieAdded, jar_,
                         [jar = jar_](const QNetworkCookie &c) { jar->insertCookie(c); });
        QObject::connect(store, &QWebEngineCookieStore::cookieRemoved, jar_,
                         [jar = jar_](const QNetworkCookie &c) { jar->deleteCookie(c); });
        store->loadAllCookies();
        userAgent_ = engine_->profile()->httpUserAgent().toUtf8();
    }
    void ClearBrowsingData(int what) override {
        prepareWebEngine();
        if (what & History) engine_->ClearHistory();
        if (what & Cache) engine_->profile()->clearHttpCache();
        if (what & Cookies) engine_->profile()->cookieStore()->deleteAllCookies();
    }
    Transfer *createTransfer(QObject *parent) override {
        if (!network_) startNetwork();
        return new QtTransfer(network_.get(), userAgent_, parent);
    }
    Dialogs &dialogs() override { return dialogs_; }
    Desktop &desktop() override { return desktop_; }
    KeyState &keys() override { return keys_; }

  private:
    class MirrorJar : public QNetworkCookieJar {
      public:
        using QNetworkCookieJar::deleteCookie;
        using QNetworkCookieJar::insertCookie;
    };

    void startNetwork() {
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        network_ = std::make_unique<QNetworkAccessManager>();
        if (jar_) network_->setCookieJar(jar_);  // still the engine's: it has a parent
    }

    QtDialogs dialogs_;
    SystemDesktop desktop_;
    SystemKeyState keys_;
    std::unique_ptr<WebEngine> engine_;
    std::unique_ptr<QNetworkAccessManager> network_;
    MirrorJar *jar_ = nullptr;
    QByteArray userAgent_;
};

}  // namespace

std::unique_ptr<Platform> makeSystemPlatform() {
    return std::make_unique<SystemPlatform>();
}
