// The address box's suggestions at 100,000 visits: a history database filled with pages of
// made-up titles and addresses, then each keystroke of some typed words asked for its
// suggestions, as the box asks on every key. Prints the median and the slowest keystroke.
// Then visits recorded while another process holds the database: how long the caller (the
// interface's thread) waits, and whether every one is written once the file is free.
// Usage: history_bench [VISITS] [FOLDER]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "platform/history.h"

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int visits = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir temp;
    // A folder given and filled before: only the keystrokes.
    const bool reuse =
        argc > 2 && QFileInfo::exists(QString::fromLocal8Bit(argv[2]) + "/history.sqlite");
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temp.path();
    const QStringList words{"news", "docs",  "weather", "shop", "video", "music", "map",
                            "mail", "forum", "wiki",    "blog", "game",  "sport", "travel",
                            "新闻", "天气",  "文档",    "购物", "视频",  "音乐",  "地图"};
    const qint64 now = 1'800'000'000'000;
    History h;
    h.Open(folder + "/history.sqlite");
    if (!h.ready()) return std::fprintf(stderr, "%s\n", qPrintable(h.notice())), 1;
    QRandomGenerator gen(7);
    QElapsedTimer fill;
    fill.start();
    const int pages = std::max(1, visits / 3);
    for (int i = 0; i < visits && !reuse; ++i) {
        const int page = int(gen.bounded(pages));  // some pages visited often, most rarely
        QRandomGenerator pageGen(page);
        const QString title = words[pageGen.bounded(words.size())] + ' ' +
                              words[pageGen.bounded(words.size())] + QString(" %1").arg(page);
        const QString url =
            QString("https://site%1.example/%2/%3").arg(page % 500).arg(words[page % 14]).arg(page);
        h.Record(url, title, now - qint64(gen.bounded(90 * 24 * 3600)) * 1000,
                 gen.bounded(10) == 0);
    }
    h.Flush();
    std::printf("filled %d visits of %d pages in %.1f s\n", visits, pages, fill.elapsed() / 1000.0);
    QList<double> ms;
    for (const QString &typed : {"weather 12", "site42", "docs news", "天气", "example/wiki/77",
                                 "no such words", "mail"}) {
        for (int n = 1; n <= typed.size(); ++n) {
            QElapsedTimer t;
            t.start();
            const auto found = h.Suggest(typed.left(n), now);
            ms << t.nsecsElapsed() / 1e6;
            if (qEnvironmentVariableIsSet("HISTORY_BENCH_EACH"))
                std::printf("  %-16s %6.2f ms, %lld found\n", qPrintable(typed.left(n)), ms.last(),
                            static_cast<long long>(found.size()));
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "suggestions per keystroke (%lld keystrokes): median %.2f ms, 90th %.2f ms, slowest %.2f "
        "ms\n",
        static_cast<long long>(ms.size()), ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.last());

    QProcess holder;
    holder.start("python3", {"-c",
                             "import sqlite3,sys,time\n"
                             "c=sqlite3.connect(sys.argv[1],isolation_level=None)\n"
                             "c.execute('BEGIN IMMEDIATE');print('held',flush=True);time.sleep(60)",
                             folder + "/history.sqlite"});
    if (!holder.waitForReadyRead(10000)) return std::fprintf(stderr, "no holder\n"), 1;
    const int held = 200;
    double slowest = 0;
    QElapsedTimer span;
    span.start();
    for (int i = 0; i < held; ++i) {
        QElapsedTimer t;
        t.start();
        h.Record(QString("https://held.example/%1").arg(i), "heldvisit", now + i, false);
        slowest = std::max(slowest, t.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents();
    }
    while (span.elapsed() < 3000) QCoreApplication::processEvents();  // the writer retries
    holder.kill();
    holder.waitForFinished();
    h.Flush();
    std::printf(
        "held database: %d visits recorded, the caller's slowest call %.3f ms; written "
        "once free: %lld\n",
        held, slowest, static_cast<long long>(h.Visits("heldvisit").size()));
    return 0;
}
