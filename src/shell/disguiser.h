#pragma once
// The boss key: every window of ours goes and the disguise comes; again while disguised
// changes nothing. The restore (the restore character, or a later start) brings back what
// was showing. The disguise is made afresh each time, so it follows changed settings.
#include <QList>
#include <QObject>
#include <QPointer>

#include "ownedwindows.h"

class Disguiser : public QObject {
    Q_OBJECT
  public:
    Disguiser(OwnedWindows &windows, QWidget *frame);
    void Disguise();
    void End();
    bool active() const { return active_; }

  private:
    OwnedWindows &windows_;
    QWidget *frame_;
    bool active_ = false;
    QList<QPointer<QWidget>> hidden_;  // what the disguise hid, to bring back
};
