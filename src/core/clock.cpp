#include "clock.h"

#include <QElapsedTimer>

Clock::~Clock() = default;

QDateTime Clock::now() const {
    return QDateTime::currentDateTime();
}

qint64 Clock::steadyMs() const {
    static QElapsedTimer steady = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return steady.elapsed();
}
