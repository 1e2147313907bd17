#pragma once
// Waits, serving events, until the condition holds; false when it never did in time.
#include <QElapsedTimer>
#include <QTest>

template <typename Condition>
bool waitFor(Condition condition, int timeoutMs = 30000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > timeoutMs) return false;
        QTest::qWait(20);
    }
    return true;
}
