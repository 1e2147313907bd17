#include "platform.h"

#include <QWebEngineProfile>

#include "keystate.h"
#include "qtdialogs.h"
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
    Dialogs &dialogs() override { return dialogs_; }
    KeyState &keys() override { return keys_; }

  private:
    QtDialogs dialogs_;
    SystemKeyState keys_;
    std::unique_ptr<WebEngine> engine_;
};

}  // namespace

std::unique_ptr<Platform> makeSystemPlatform() {
    return std::make_unique<SystemPlatform>();
}
