#pragma once
// The frame over the whole screen: by F11 with its chrome, or for a page (a video) with the
// page alone and a word on how to leave. Leaving gives back the window exactly as it was
// (normal or maximised, its place and size) and the chrome that was showing.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

class Form1;
class QLabel;
class TabSet;
class QWidget;

class FullScreen : public QObject {
    Q_OBJECT
  public:
    // chrome: what a page's full screen hides.
    FullScreen(QWidget *frame, QList<QWidget *> chrome);
    void addChrome(QWidget *w) { chrome_ << w; }
    // Only the front tab's page may take the screen; another tab in front, or the page's tab
    // closing, ends its full screen.
    void followPages(TabSet *tabs);
    bool page() const { return page_; }
    // F11: the frame alone, or back; a page's full screen is left, with the page told.
    void toggle();
    bool escape();  // leaves a page's full screen: true when there was one
    bool active() const { return active_; }
    // What the frame was before: to store at shutdown, never the screen's rectangle.
    bool wasMaximised() const { return before_ & Qt::WindowMaximized; }
    QRect geometryBefore() const { return geometry_; }

  private:
    void setPage(bool on);
    void leavePage();
    void enter();
    void leave();
    QWidget *frame_;
    QList<QWidget *> chrome_;
    QList<QPointer<QWidget>> hidden_;
    QLabel *notice_ = nullptr;  // "按 Esc 键退出全屏"
    QPointer<Form1> pageTab_;   // the page that has the screen
    bool page_ = false, active_ = false;
    Qt::WindowStates before_;
    QRect geometry_;
};
