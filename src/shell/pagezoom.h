#pragma once
// The page zoom: the front tab's, the status strip's label and the "Zoom" setting move
// together. Without a tab the label and the setting still change: the next pages take it.
#include <QObject>

#include "core/command.h"

class StatusStrip;
class TabSet;

class PageZoom : public QObject {
    Q_OBJECT
  public:
    PageZoom(TabSet *tabs, StatusStrip *status, QObject *parent);
    int current() const { return current_; }
    // ZoomIn, ZoomOut, ZoomReset, and Zoom to the percentage given.
    Ran Execute(Command command, int value);

  signals:
    void Chosen();  // a zoom from the menu, which the session keeps

  private:
    void set(int percent);

    TabSet *tabs_;
    StatusStrip *status_;
    int current_ = 100;
};
