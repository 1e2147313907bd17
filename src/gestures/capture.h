#pragma once
// Gestures as the user draws them: one application-wide event filter sees the mouse of
// every window of the program (the web page's included), swallows the middle button's
// press and release over a client area, samples the moves, and shows the trail.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "gesture.h"

class QWindow;

// The trail: the cursor's path in one random colour per gesture. With a compositing
// manager it is a see-through window over the whole screen; without one, a see-through
// layer over the frame (a full-screen window would hide the desktop there). Either way it
// never takes input or focus, and it is hidden as the gesture ends.
class frmMouse : public QWidget {
  public:
    // overFrame: the frame to draw over; none for the full-screen window.
    explicit frmMouse(QWidget *overFrame);
    void begin(QPoint globalStart);
    void extend(QPoint global);
    void end();
    QColor pen() const { return pen_; }
    const QList<QPoint> &points() const { return points_; }  // global pixels

  protected:
    void paintEvent(QPaintEvent *) override;

  private:
    QColor pen_;
    QList<QPoint> points_;
};

class GestureCapture : public QObject {
    Q_OBJECT
  public:
    // clientArea: whether a point of one of our windows is a client area (not a border)
    // where a gesture may start. trail: shown while the button is held.
    GestureCapture(std::function<bool(QWindow *, QPoint)> clientArea, frmMouse *trail,
                   QObject *parent);
    ~GestureCapture() override;
    bool drawing() const { return drawing_; }
    // The last stroke went nowhere: a plain middle click, no gesture. It goes on to where it
    // was pressed, as in other browsers (a link opens behind, a tab closes).
    void replayClick();

  signals:
    void DirectionAdded(const QString &name);  // the stroke turned
    void Finished(const QString &gesture);     // the button is up, the trail gone

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    std::function<bool(QWindow *, QPoint)> clientArea_;
    frmMouse *trail_;
    gesture::Recogniser recogniser_;
    bool drawing_ = false;
    bool replaying_ = false;
    QPointer<QWindow> pressWindow_;  // where the last stroke began
    QPointF pressAt_, pressGlobal_;
    Qt::KeyboardModifiers pressModifiers_;
};
