// One download through a real download task in the manager window, as the browser runs
// it: prints the seconds from the request to completion and the bytes written, and with
// --engine also the seconds from the engine's offer of the file to completion.
// Usage: download_bench [--engine] URL TARGET
// --engine: the web engine fetches it (as for a form's post or a script's blob) and the
// task follows; otherwise the task's own GET.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <functional>

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
    auto platform = makeSystemPlatform();
    if (engine) platform->prepareWebEngine();
    frmDownload manager(*platform);
    manager.show();
    QWidget host;
    QElapsedTimer clock;
    clock.start();
    double offeredAt = 0;
    Host taker;
    if (engine) {
        WebView *view = platform->createWebView(&host);
        taker.offered = [&](const DownloadOffer &offer) {
            offeredAt = clock.nsecsElapsed() / 1e9;
            manager.NewDownload(target, url, offer.engineTransfer);
            return DownloadAnswer{DownloadAnswer::Taken, {}};
        };
        view->setHost(&taker);
        view->Navigate(url);
    } else {
        manager.NewDownload(target, url);
    }
    ucDownload *task = nullptr;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!task && !manager.tasks().isEmpty()) task = manager.tasks().last();
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
