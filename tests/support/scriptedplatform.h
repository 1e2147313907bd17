#pragma once
// The real web engine and network with dialogs that answer from a script.
#include "fakeplatform.h"
#include "platform/platform.h"

class ScriptedPlatform : public Platform {
  public:
    WebView *createWebView(QWidget *parent, bool offTheRecord) override {
        return real->createWebView(parent, offTheRecord);
    }
    void prepareWebEngine() override { real->prepareWebEngine(); }
    Transfer *createTransfer(QObject *parent) override { return real->createTransfer(parent); }
    void ClearBrowsingData(int what) override { real->ClearBrowsingData(what); }
    Dialogs &dialogs() override { return scripted; }
    Desktop &desktop() override { return real->desktop(); }
    KeyState &keys() override { return real->keys(); }
    // Download stalls in seconds, not minutes: the steady clock runs this many times fast.
    class FastClock : public Clock {
      public:
        qint64 steadyMs() const override { return base_ + (Clock::steadyMs() - from_) * speed_; }
        void setSpeed(int speed) {  // from now on; what was counted stays
            base_ = steadyMs();
            from_ = Clock::steadyMs();
            speed_ = speed;
        }

      private:
        qint64 base_ = 0, from_ = 0;
        int speed_ = 1;
    } clock_;
    Clock &clock() override { return clock_; }
    std::unique_ptr<Platform> real = makeSystemPlatform();
    FakeDialogs scripted;
};
