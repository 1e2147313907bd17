#pragma once
// The frame over the whole screen: by F11 with its chrome, or for a page (a video) with
// the page alone. Leaving gives back the window's state and the chrome that was showing.
#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

class FullScreen : public QObject {
    Q_OBJECT
  public:
    // chrome: what a page's full screen hides.
    FullScreen(QWidget *frame, QList<QWidget *> chrome);
    void addChrome(QWidget *w) { chrome_ << w; }
    void setPage(bool on);
    bool page() const { return page_; }
    void toggle();  // F11: the frame alone; a page's full screen is left by its own exit

  private:
    void enter();
    void leave();
    QWidget *frame_;
    QList<QWidget *> chrome_;
    QList<QPointer<QWidget>> hidden_;
    bool page_ = false;
    Qt::WindowStates before_;
};
