#pragma once
// Puts background tabs to rest as the rules in core/tabrest.h say, looking again only when a
// tab comes, goes, changes places with the front one or loads, and at the next deadline: no
// timer runs while nothing can change.
#include <QHash>
#include <QObject>
#include <QTimer>

class Clock;
class Form1;
class TabSet;

class TabSleeper : public QObject {
    Q_OBJECT
  public:
    TabSleeper(TabSet *tabs, Clock &clock, QObject *parent);
    void review();

  private:
    TabSet *tabs_;
    Clock &clock_;
    QTimer next_;
    QHash<Form1 *, qint64> hiddenSince_;
    Form1 *front_ = nullptr;
};
