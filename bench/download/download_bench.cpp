// One download through a real download task in the manager window, as the browser runs
// it: prints the seconds from the request to completion and the bytes written.
// Usage: download_bench URL TARGET
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "downloads/frmdownload.h"
#include "downloads/ucdownload.h"
#include "platform/platform.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: download_bench URL TARGET\n");
        return 2;
    }
    auto platform = makeSystemPlatform();
    frmDownload manager(*platform);
    manager.show();
    QElapsedTimer clock;
    clock.start();
    manager.NewDownload(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[1]));
    ucDownload *task = manager.tasks().last();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const auto s = task->state();
        if (s == ucDownload::State::Completed || s == ucDownload::State::Failed) app.exit(0);
    });
    poll.start(5);
    app.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    const bool ok = task->state() == ucDownload::State::Completed;
    std::printf("%s %.3f s %lld bytes %.1f MiB/s\n", ok ? "completed" : "failed", seconds,
                static_cast<long long>(task->bytesWritten()),
                task->bytesWritten() / seconds / 1048576.0);
    return ok ? 0 : 1;
}
