#pragma once
// The one clock the program reads: the wall clock (parental control) and a steady count of
// milliseconds (download speed and stalls). The platform hands out the real one; tests
// hand out their own.
#include <QDateTime>

class Clock {
  public:
    virtual ~Clock();
    virtual QDateTime now() const;
    virtual qint64 steadyMs() const;  // only differences mean anything
};
