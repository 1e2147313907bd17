#include "endsignals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

namespace {

int g_wake[2] = {-1, -1};

// Only what is safe in a signal handler: one byte to the event loop.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_wake[1], &byte, 1);
}

}  // namespace

void WatchEndRequests(QObject *owner, std::function<void()> end) {
    if (g_wake[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_wake) != 0) return;
    auto *notifier = new QSocketNotifier(g_wake[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [end] {
        char bytes[16];
        [[maybe_unused]] const ssize_t n = ::read(g_wake[0], bytes, sizeof bytes);
        end();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
    // The session manager ends the session: the tabs are kept as at a close.
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QObject::connect(app, &QGuiApplication::commitDataRequest, owner,
                         [end](QSessionManager &) { end(); });
}
