#include "platform.h"

#include "keystate.h"
#include "qtdialogs.h"
#include "qtwebview.h"
#include "shell/config.h"

Platform::~Platform() = default;

namespace {

class SystemPlatform : public Platform {
public:
    WebView *createWebView(QWidget *parent) override {
        // The engine starts with the first tab, not before: a second instance never gets here.
        if (!engine_) engine_ = std::make_unique<WebEngine>(AppDir() + QStringLiteral("数据"));
        return engine_->createView(parent);
    }
    Dialogs &dialogs() override { return dialogs_; }
    KeyState &keys() override { return keys_; }

private:
    QtDialogs dialogs_;
    SystemKeyState keys_;
    std::unique_ptr<WebEngine> engine_;
};

}  // namespace

std::unique_ptr<Platform> makeSystemPlatform() { return std::make_unique<SystemPlatform>(); }
