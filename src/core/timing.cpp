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
    std::fprintf(stderr, "olumetta: %6lld ms  %s\n", qlonglong(clock.elapsed()), phase);
}
