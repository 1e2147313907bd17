#include "platform.h"

#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkProxyFactory>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include "keystate.h"
#include "qtdialogs.h"
#include "qttransfer.h"
#include "qtwebview.h"
#include "shell/config.h"

Platform::~Platform() = default;

namespace {

class SystemPlatform : public Platform {
  public:
    WebView *createWebView(QWidget *parent) override {
        prepareWebEngine();
        return engine_->createView(parent);
    }
    // Only the running instance gets here: a later start hands over long before.
    void prepareWebEngine() override {
        if (!engine_) engine_ = std::make_unique<WebEngine>(AppDir() + QStringLiteral("数据"));
    }
    void ClearTracks() override {
        prepareWebEngine();
        engine_->profile()->clearAllVisitedLinks();
        engine_->profile()->clearHttpCache();
    }
    Transfer *createTransfer(QObject *parent) override {
        if (!network_) startNetwork();
        return new QtTransfer(network_.get(), userAgent_, parent);
    }
    Dialogs &dialogs() override { return dialogs_; }
    KeyState &keys() override { return keys_; }

  private:
    // Downloads behind a login need the pages' cookies: the jar follows the web profile's.
    class MirrorJar : public QNetworkCookieJar {
      public:
        using QNetworkCookieJar::deleteCookie;
        using QNetworkCookieJar::insertCookie;
    };

    void startNetwork() {
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        network_ = std::make_unique<QNetworkAccessManager>();
        if (!engine_) return;  // no web pages yet: no cookies or agent to follow
        auto *jar = new MirrorJar;
        network_->setCookieJar(jar);
        QWebEngineCookieStore *store = engine_->profile()->cookieStore();
        QObject::connect(store, &QWebEngineCookieStore::cookieAdded, jar,
                         [jar](const QNetworkCookie &c) { jar->insertCookie(c); });
        QObject::connect(store, &QWebEngineCookieStore::cookieRemoved, jar,
                         [jar](const QNetworkCookie &c) { jar->deleteCookie(c); });
        store->loadAllCookies();
        userAgent_ = engine_->profile()->httpUserAgent().toUtf8();
    }

    QtDialogs dialogs_;
    SystemKeyState keys_;
    std::unique_ptr<WebEngine> engine_;
    std::unique_ptr<QNetworkAccessManager> network_;
    QByteArray userAgent_;
};

}  // namespace

std::unique_ptr<Platform> makeSystemPlatform() {
    return std::make_unique<SystemPlatform>();
}
