// Bringing a long history over: a Chromium profile with VISITS visits of a third as many
// pages (one in ten typed, over the last 90 days) made in a temporary home, then read from its
// copy in the dialog's batches and written into a new history database, as the import dialog
// does. Prints the time to count, to read and to have every batch written, and a second
// import's time, which adds nothing.
// Usage: import_bench [VISITS]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include "platform/otherbrowsers.h"
#include "support/browserfixtures.h"

namespace {

// One import: every batch read and handed over, then waited for; the visits added.
int ImportAll(History &history, const BrowserProfile &profile, double *countMs, double *allMs) {
    QElapsedTimer t;
    t.start();
    ProfileReader reader(profile);
    const qint64 total = reader.countVisits(0, nullptr);
    *countMs = t.nsecsElapsed() / 1e6;
    int batches = 0, acknowledged = 0, added = 0;
    QEventLoop loop;
    QObject::connect(&history, &History::Imported, &loop, [&](int n) {
        added += n;
        if (++acknowledged == batches) loop.quit();
    });
    for (QList<ImportedVisit> batch; !(batch = reader.nextVisits(0, 2000, nullptr)).isEmpty();) {
        ++batches;
        history.Import(batch);
    }
    if (acknowledged < batches) loop.exec();
    *allMs = t.nsecsElapsed() / 1e6;
    std::printf("  %lld visits counted, %d batches\n", static_cast<long long>(total), batches);
    return added;
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int visits = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir home;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QRandomGenerator gen(7);
    QList<FixtureVisit> made;
    const int pages = std::max(1, visits / 3);
    for (int i = 0; i < visits; ++i) {
        const int page = int(gen.bounded(pages));
        made.append({QString("https://site%1.example/page/%2").arg(page % 500).arg(page),
                     QString("页面 %1 page").arg(page),
                     now - qint64(gen.bounded(90 * 24 * 3600)) * 1000, gen.bounded(10) == 0});
    }
    MakeChromiumProfile(home.path(), "[]", made);
    const BrowserProfile profile = FindBrowserProfiles(home.path()).value(0);
    History history;
    history.Open(home.filePath("history.sqlite"));
    if (!history.ready()) return std::fprintf(stderr, "%s\n", qPrintable(history.notice())), 1;
    for (const char *round : {"first", "again"}) {
        double countMs = 0, allMs = 0;
        const int added = ImportAll(history, profile, &countMs, &allMs);
        std::printf("%s import: counted in %.0f ms, %d visits added in %.2f s (%.0f visits/s)\n",
                    round, countMs, added, allMs / 1000, visits / (allMs / 1000));
    }
    return 0;
}
