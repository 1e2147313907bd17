#pragma once
// The chrome shows the tab in front: its address, privacy and security in the address box, stop or
// refresh, back and forward, its status and progress, its title on the frame. What the
// other tabs' pages do stays theirs until they come to the front.
#include <QObject>

class AddressBox;
class FrameMenus;
class Form1;
class StatusStrip;
class TabSet;
class ToolBar;
class QWidget;

class FrontChrome : public QObject {
    Q_OBJECT
  public:
    struct Parts {
        AddressBox *address;
        ToolBar *toolbar;
        StatusStrip *status;
        FrameMenus *menus;
    };
    // frame: the window whose title names the page.
    FrontChrome(TabSet *tabs, Parts parts, QWidget *frame);

    // The front tab's address back in the box (Escape there).
    void showAddress();

  private:
    void frontChanged(Form1 *t);
    void showMarks(Form1 *t);
    void updateHistoryButtons();
    void updateTitle();

    TabSet *tabs_;
    Parts p_;
    QWidget *frame_;
};
