#include "timing.h"

#include <QElapsedTimer>
#include <QSet>
#include <QtGlobal>
#include <cstdio>

void StartupMark(const char *phase) {
    static const bool on = !qEnvironmentVariableIsEmpty("OLUMETTA_TIMING");
    if (!on) return;
    static QElapsedTimer clock;
    static QSet<QByteArray> seen;
    if (!clock.isValid()) clock.start();
    if (seen.contains(phase)) return;
    seen.insert(phase);
    // The monotonic clock's own reading too, so a bench can place the marks after its spawn.
    const qint64 since = clock.elapsed();
    std::fprintf(stderr, "olumetta: %6lld ms  %-20s (monotonic %lld ms)\n", qlonglong(since), phase,
                 qlonglong(clock.msecsSinceReference() + since));
}
