#pragma once
// The skin on the frame and every tab: the toolbar's pictures, the status strip, the find
// bar's and the tab strip's colours, the frame's border, glass where it can show, and the
// chrome laid out for the skin's sizes.
#include <QObject>

class FindControl;
class Form1;
class FrameWindow;
class Platform;
class StatusStrip;
class TabSet;
class ToolBar;

class FrameSkin : public QObject {
    Q_OBJECT
  public:
    struct Parts {
        ToolBar *toolbar;
        StatusStrip *status;
        FindControl *find;
        TabSet *tabs;
    };
    FrameSkin(FrameWindow *frame, Platform &platform, Parts parts);

    // The skin "Theme" names, or the default one when it cannot be loaded (said); false when
    // none can be, and the program must end.
    bool start();
    // A skin by its file name, stored once it applied; false (after its message) when it
    // cannot be applied, and then nothing has changed.
    bool tryOn(const QString &name);
    // The chrome laid out again, for the frame's new size.
    void layout();

  private:
    bool apply(const QString &file);  // false, changing nothing, when it cannot be loaded
    void colour(Form1 *t);

    FrameWindow *frame_;
    Platform &platform_;
    Parts p_;
    int staBarHeight_ = 0;  // twips, as the skin sets it
};
