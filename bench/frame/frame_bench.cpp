// How long the frame's window stands still on two large things: 管理 → 书签 over BOOKMARKS
// bookmarks (a tree of folders of 100 as an import makes, then all in one folder), and 恢复 of
// TABS tabs after a crash. Each is timed from the user's act to the window answering again:
// the menu shown and painted, the restore's click returned and every event it posted handled,
// and the longest stall of the event loop in the 3 s after it.
// Usage: frame_bench [BOOKMARKS] [TABS]
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "../freshfolder.h"
#include "core/programfolder.h"
#include "core/session.h"
#include "platform/desktop.h"
#include "platform/platform.h"
#include "shell/mdibrowser.h"

namespace {

double Ms(const QElapsedTimer &t) {
    return t.nsecsElapsed() / 1e6;
}

// Every event posted so far handled, and the loop come round twice more (a paint is posted).
void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// The longest the event loop stood still within ms: a 2 ms timer's largest gap.
double LongestStall(int ms) {
    QElapsedTimer clock, since;
    clock.start();
    since.start();
    double longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, Ms(since));
        since.restart();
    });
    tick.start(2);
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return longest;
}

void WriteMarks(const QString &folder, int from, int count) {
    QDir().mkpath(folder);
    for (int i = from; i < from + count; ++i) {
        QFile f(QStringLiteral("%1/书签 %2.zvb").arg(folder).arg(i));
        if (!f.open(QIODevice::WriteOnly)) return;
        f.write(QStringLiteral("[InternetShortcut]\r\nURL=https://site%1.example/page/%2\r\n")
                    .arg(i % 500)
                    .arg(i)
                    .toUtf8());
    }
}

// 管理 → 书签 opened at the frame's corner, and again (each opening lists the folder anew).
void TimeMenu(mdiBrowser &frame, const char *what) {
    auto *menu = frame.findChild<QMenu *>(QStringLiteral("mnuFav"));
    if (!menu) return (void)std::printf("  no bookmark menu\n");
    for (int round = 1; round <= 2; ++round) {
        QElapsedTimer t;
        t.start();
        menu->popup(frame.mapToGlobal(QPoint(20, 20)));
        Settle();
        const double shown = Ms(t);
        std::printf("  %s, opening %d: %.1f ms, %lld entries\n", what, round, shown,
                    static_cast<long long>(menu->actions().size()));
        menu->hide();
        Settle();
    }
}

}  // namespace

int main(int argc, char **argv) {
    PrepareEngineEnvironment();
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int marks = argc > 1 ? atoi(argv[1]) : 100000;
    const int tabs = argc > 2 ? atoi(argv[2]) : 500;
    FreshFolder folder("frame_bench");
    if (!folder.ok()) return 2;
    const QString data = folder.path() + QStringLiteral("/数据/");
    Session crashed;
    for (int i = 0; i < tabs; ++i) {
        SessionTab tab;
        tab.url = QStringLiteral("http://127.0.0.1:9/page/%1").arg(i);
        tab.title = QStringLiteral("页面 %1").arg(i);
        crashed.tabs.append(tab);
    }
    WriteSessionFile(data + QStringLiteral("session.dat"), crashed,
                     QString::fromLatin1(qVersion()));
    QFile(data + QStringLiteral("session.running")).open(QIODevice::WriteOnly);

    const QString root = folder.path() + QStringLiteral("/书签/");
    const QString imported = root + QStringLiteral("导入/Chromium（Default）/书签栏/");
    for (int i = 0; i < marks / 100; ++i)
        WriteMarks(imported + QStringLiteral("文件夹 %1").arg(i), i * 100, 100);

    auto platform = makeSystemPlatform();
    mdiBrowser frame(*platform, QString());
    frame.resize(1280, 780);
    if (!frame.Load()) return 2;
    Settle();
    std::printf("bookmarks: %d\n", marks);
    TimeMenu(frame, "in folders of 100");
    QDir(imported).removeRecursively();
    WriteMarks(root, 0, marks);
    TimeMenu(frame, "all in one folder");

    auto *restore = frame.findChild<QAbstractButton *>(QStringLiteral("cmdRestore"));
    if (!restore || !restore->isVisible()) {
        std::fprintf(stderr, "frame_bench: no restore bar\n");
        return 1;
    }
    QElapsedTimer t;
    t.start();
    restore->click();
    const double clicked = Ms(t);
    Settle();
    const double settled = Ms(t);
    const double stall = LongestStall(3000);
    std::printf(
        "restore of %d tabs: the click %.1f ms, its events handled %.1f ms, "
        "then the longest stall %.1f ms; %lld tabs\n",
        tabs, clicked, settled, stall, static_cast<long long>(frame.tabs().size()));
    frame.EndNow();
    return frame.tabs().size() >= tabs ? 0 : 1;
}
