#pragma once
// The boss key: every window of ours leaves the screen (the frame, the download manager,
// message boxes and dialogs, menus, tool tips) and the disguise comes; again while
// disguised changes nothing. The restore (the restore character, or a later start) brings
// each back as it was: normal, maximised or minimised, its place, its stacking, the same
// window active, and a box that was waiting for an answer waiting again. Messages raised
// meanwhile wait for the restore. The disguise is made afresh each time, so it follows
// changed settings.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

#include "ownedwindows.h"

class Dialogs;

class Disguiser : public QObject {
    Q_OBJECT
  public:
    Disguiser(OwnedWindows &windows, Dialogs &dialogs, QWidget *frame);
    void Disguise();
    void End();
    bool active() const { return active_; }

  private:
    struct Hidden {
        QPointer<QWidget> window;
        Qt::WindowStates state;
        QRect geometry;
        bool waiting;  // a modal box in its own event loop: only its X window goes
    };
    OwnedWindows &windows_;
    Dialogs &dialogs_;
    QWidget *frame_;
    bool active_ = false;
    QList<Hidden> hidden_;  // the frame first, then the others as they were made
    QPointer<QWidget> activeWindow_;
};
