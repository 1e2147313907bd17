#pragma once
// Mouse gestures on the frame: the capture switched on and off, and what a finished
// gesture runs: its fixed command (through the command rows), a reload per loop, and the
// user's own entries of section "Mouse".
#include <QObject>
#include <functional>
#include <memory>

#include "core/command.h"

class frmMouse;
class GestureCapture;
class Platform;
class QWidget;
class QWindow;
class QPoint;

class GestureControl : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<bool(Command)> execute;               // false: nothing to act on
        std::function<bool()> navigationShown;              // over the front tab
        std::function<bool(QWindow *, QPoint)> clientArea;  // where a gesture may start
    };
    GestureControl(Platform &platform, QWidget *frame, Hooks hooks);
    ~GestureControl() override;

    void setOn(bool on);
    void Run(const QString &gesture);

  signals:
    void DirectionAdded(const QString &name);
    void Finished(const QString &gesture);

  private:
    Platform &platform_;
    QWidget *frame_;
    Hooks hooks_;
    std::unique_ptr<frmMouse> trail_;
    std::unique_ptr<GestureCapture> capture_;
};
