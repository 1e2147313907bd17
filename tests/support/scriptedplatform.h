#pragma once
// The real web engine and network with dialogs that answer from a script.
#include "fakeplatform.h"
#include "platform/platform.h"

class ScriptedPlatform : public Platform {
  public:
    WebView *createWebView(QWidget *parent) override { return real->createWebView(parent); }
    void prepareWebEngine() override { real->prepareWebEngine(); }
    Transfer *createTransfer(QObject *parent) override { return real->createTransfer(parent); }
    void ClearBrowsingData(int what) override { real->ClearBrowsingData(what); }
    Dialogs &dialogs() override { return scripted; }
    Desktop &desktop() override { return real->desktop(); }
    KeyState &keys() override { return real->keys(); }
    std::unique_ptr<Platform> real = makeSystemPlatform();
    FakeDialogs scripted;
};
