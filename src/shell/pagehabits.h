#pragma once
// What hands do to a page beyond keys with a binding: Escape stops a load or leaves full
// screen, the mouse's back and forward buttons, Ctrl+wheel zooms through the same path as
// the zoom label. Seen application-wide, as the page's render widget is the engine's own.
#include <QObject>
#include <functional>

class PageHabits : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<bool(QObject *target)> inPage;  // the event is for the active page
        std::function<bool()> escape;                 // true when it was used up
        std::function<void(bool forward)> history;
        std::function<void(bool in)> zoom;
    };
    explicit PageHabits(Hooks hooks, QObject *parent = nullptr);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    Hooks hooks_;
};
