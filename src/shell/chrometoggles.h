#pragma once
// What the "管理" menu switches on and off, each with its check mark and its setting: the
// status strip ("状态栏"), the load progress ("载入进度"), mouse gestures ("开启鼠标手势").
#include <QObject>

#include "core/command.h"

class FrameMenus;
class GestureControl;
class StatusStrip;
class ToolBar;

class ChromeToggles : public QObject {
    Q_OBJECT
  public:
    ChromeToggles(FrameMenus *menus, StatusStrip *status, ToolBar *toolbar,
                  GestureControl *gestures, QObject *parent);
    void applyBars();              // as the settings say: at start-up, before the frame shows
    void applyGestures();          // as the setting says: once the frame shows
    Ran Execute(Command command);  // the three toggles

  private:
    FrameMenus *menus_;
    StatusStrip *status_;
    ToolBar *toolbar_;
    GestureControl *gestures_;
};
