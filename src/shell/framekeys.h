#pragma once
// The frame's keys: the shortcuts of the command rows, what hands do to a page (Escape, the
// mouse's side buttons, Ctrl+wheel), and F2 and F4 also while another program has the focus:
// read at each key's press and release where the system tells, else by a poll every 10 ms.
#include <QObject>
#include <functional>
#include <memory>

#include "core/command.h"
#include "hotkeys.h"

class PageHabits;
class Platform;
class QTimer;
class QWidget;

class FrameKeys : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<bool(Command, int)> execute;
        std::function<bool(QObject *target)> inPage;  // the event is for the front page
        std::function<bool()> escape;                 // true when it was used up
    };
    FrameKeys(Platform &platform, QWidget *frame, Hooks hooks);
    ~FrameKeys() override;
    void install();  // the shortcuts, the page's habits, the poll
    void stopPoll();

  private:
    void poll();
    Platform &platform_;
    QWidget *frame_;
    Hooks hooks_;
    QTimer *tmrKey;
    HotKeyPoll hotKeys_;
    std::unique_ptr<PageHabits> habits_;
};
