#pragma once
// Puts background tabs to rest as the rules in core/tabrest.h say, looking again only when a
// tab comes, goes, changes places with the front one or loads, at the next deadline, and at
// the memory's next look while a tab behind could give some back: no timer runs while
// nothing can change.
#include <QHash>
#include <QObject>
#include <QTimer>

class Platform;
class Form1;
class TabSet;

class TabSleeper : public QObject {
    Q_OBJECT
  public:
    TabSleeper(TabSet *tabs, Platform &platform, QObject *parent);
    void review();

  private:
    TabSet *tabs_;
    Platform &platform_;
    QTimer next_;
    QHash<Form1 *, qint64> hiddenSince_;
    Form1 *front_ = nullptr;
};
