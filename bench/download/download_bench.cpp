// One download through a real download task in the manager window, as the browser runs
// it: prints the seconds from the request to completion and the bytes written, and with
// --engine also the seconds from the engine's offer of the file to completion.
// Usage: download_bench [--engine] URL TARGET
// --engine: the web engine fetches it (as for a form's post or a script's blob) and the
// task follows; otherwise the task's own GET.
// Each run keeps its program folder in a fresh copy of the template beside the binary
// (template/), so no list of an earlier run comes back into it.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "../freshfolder.h"
#include "core/programfolder.h"
#include "downloads/frmdownload.h"
#include "downloads/ucdownload.h"
#include "platform/desktop.h"
#include "platform/platform.h"
#include "platform/webview.h"

// The manager takes every file the page offers, as the browser's tab hands it on.
struct Host : ViewHost {
    std::function<DownloadAnswer(const DownloadOffer &)> offered;
    WebView *openWindow(bool) override { return nullptr; }
    DownloadAnswer offerDownload(const DownloadOffer &offer) override { return offered(offer); }
};

int main(int argc, char **argv) {
    PrepareEngineEnvironment();  // as the browser starts the engine
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool engine = args.removeAll(QStringLiteral("--engine")) > 0;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: download_bench [--engine] URL TARGET\n");
        return 2;
    }
    const QString url = args[0], target = args[1];
    FreshFolder folder("download_bench");
    if (!folder.ok()) return 2;
    auto platform = makeSystemPlatform();
    if (engine) platform->prepareWebEngine();
    frmDownload manager(*platform);
    if (!manager.tasks().isEmpty()) {
        std::fprintf(stderr, "download_bench: a fresh program folder lists tasks\n");
        return 2;
    }
    manager.show();
    // The task this run starts: the one the list did not hold before.
    ucDownload *task = nullptr;
    auto start = [&](Transfer *transfer) {
        const QList<ucDownload *> before = manager.tasks().values();
        manager.NewDownload(target, url, transfer);
        for (ucDownload *t : manager.tasks())
            if (!before.contains(t)) task = t;
    };
    QWidget host;
    QElapsedTimer clock;
    clock.start();
    double offeredAt = 0;
    Host taker;
    if (engine) {
        WebView *view = platform->createWebView(&host);
        taker.offered = [&](const DownloadOffer &offer) {
            offeredAt = clock.nsecsElapsed() / 1e9;
            start(offer.engineTransfer);
            return DownloadAnswer{DownloadAnswer::Taken, {}};
        };
        view->setHost(&taker);
        view->Navigate(url);
    } else {
        start(nullptr);
    }
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!task) return;
        const auto s = task->state();
        if (s == ucDownload::State::Completed || s == ucDownload::State::Failed) app.exit(0);
    });
    poll.start(5);
    app.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    const bool ok = task->state() == ucDownload::State::Completed;
    std::printf("%s %.3f s %lld bytes %.1f MiB/s", ok ? "completed" : "failed", seconds,
                static_cast<long long>(task->bytesWritten()),
                task->bytesWritten() / seconds / 1048576.0);
    if (engine) std::printf(" from-offer %.3f s", seconds - offeredAt);
    std::printf("\n");
    return ok ? 0 : 1;
}
