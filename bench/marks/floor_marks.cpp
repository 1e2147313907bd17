// The bench's floor program (../shared/bench/floor/main.cpp) line for line, with our
// program's start-up marks (printed under OLUMETTA_TIMING) at the same phases.
#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMainWindow>
#include <QStandardPaths>
#include <QTabWidget>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "core/timing.h"

static QWebEngineView *addTab(QTabWidget *tabs, QWebEngineProfile *profile, const QString &a) {
    auto *view = new QWebEngineView;
    view->setPage(new QWebEnginePage(profile, view));
    tabs->addTab(view, a);
    StartupMark("tab created");
    QObject::connect(view, &QWebEngineView::titleChanged, tabs,
                     [tabs, view](const QString &t) { tabs->setTabText(tabs->indexOf(view), t); });
    QObject::connect(
        view->page(), &QWebEnginePage::loadingChanged, [](const QWebEngineLoadingInfo &i) {
            const bool started = i.status() == QWebEngineLoadingInfo::LoadStartedStatus;
            StartupMark(started ? "load started" : "first page loaded");
        });
    StartupMark("navigate called");
    view->load(QUrl::fromUserInput(a));
    return view;
}

int main(int argc, char **argv) {
    StartupMark("main");
    QApplication app(argc, argv);
    StartupMark("application ready");
    QStringList args = app.arguments().mid(1);
    bool otr = args.removeAll(QStringLiteral("--otr")) > 0;

    const QString sock = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                         QStringLiteral("/qtwb.sock");
    {  // hand-off to a running instance?
        QLocalSocket s;
        s.connectToServer(sock);
        if (s.waitForConnected(200)) {
            s.write(args.join(QLatin1Char('\n')).toUtf8());
            s.waitForBytesWritten(1000);
            s.disconnectFromServer();
            if (s.state() != QLocalSocket::UnconnectedState) s.waitForDisconnected(1000);
            return 0;
        }
    }
    QLocalServer::removeServer(sock);
    QLocalServer server;
    server.listen(sock);

    QWebEngineProfile *profile =
        otr ? new QWebEngineProfile(&app) : new QWebEngineProfile(QStringLiteral("bench"), &app);
    StartupMark("profile ready");
    QMainWindow win;
    auto *tabs = new QTabWidget;
    tabs->setDocumentMode(true);
    tabs->setTabsClosable(true);
    win.setCentralWidget(tabs);
    win.resize(1280, 780);
    if (args.isEmpty()) args << QStringLiteral("about:blank");
    for (const QString &a : args) addTab(tabs, profile, a);
    QObject::connect(tabs, &QTabWidget::tabCloseRequested, tabs, [tabs](int i) {
        QWidget *w = tabs->widget(i);
        tabs->removeTab(i);
        delete w;
    });
    QObject::connect(&server, &QLocalServer::newConnection, &server, [&] {
        while (QLocalSocket *c = server.nextPendingConnection()) {
            QObject::connect(c, &QLocalSocket::disconnected, c, [c, tabs, profile, &win] {
                const QString msg = QString::fromUtf8(c->readAll());
                for (const QString &a : msg.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                    tabs->setCurrentWidget(addTab(tabs, profile, a));
                win.raise();
                c->deleteLater();
            });
        }
    });
    win.show();
    StartupMark("frame shown");
    int rc = app.exec();
    // Views (and their pages) must go before the profile they use.
    while (tabs->count()) {
        QWidget *w = tabs->widget(0);
        tabs->removeTab(0);
        delete w;
    }
    return rc;
}
