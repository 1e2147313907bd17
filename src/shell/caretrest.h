#pragma once
// A text caret blinks only while the user works: after a while without a key or a click
// it stays lit, as the desktop's own toolkits do, so a program left alone wakes for
// nothing. The next key, click or focus change sets it blinking again.
#include <QObject>
#include <QTimer>

class CaretRest : public QObject {
    Q_OBJECT
  public:
    static constexpr int kRestAfterMs = 10000;
    explicit CaretRest(int restAfterMs = kRestAfterMs, QObject *parent = nullptr);
    ~CaretRest() override;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void rest();
    void wake();
    QTimer idle_;
    int flashTime_;  // the desktop's own
    bool resting_ = false;
};
