#include "browsersession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTest>

#include "shell/framelayout.h"
#include "wait.h"
#include "xsession.h"

quint16 FreePort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

BrowserSession::BrowserSession(const XSession *x) : folder(true), debugPort(FreePort()), x_(x) {}

QProcessEnvironment BrowserSession::env() const {
    QProcessEnvironment e = x_ ? x_->environment() : QProcessEnvironment::systemEnvironment();
    e.insert("XDG_RUNTIME_DIR", runtime.path());
    UseOwnDesktop(e, runtime.path());
    e.insert("QTWEBENGINE_REMOTE_DEBUGGING", QString("127.0.0.1:%1").arg(debugPort));
    e.insert("QTWEBENGINE_CHROMIUM_FLAGS", chromiumFlags);
    return e;
}

QStringList BrowserSession::unopened() const {
    return QString::fromLocal8Bit(ReadBytes(runtime.filePath(".system/unopened")))
        .split('\n', Qt::SkipEmptyParts);
}

void UseOwnDesktop(QProcessEnvironment &e, const QString &home) {
    const QString own = home + "/.system";
    for (const char *d :
         {"/.config", "/.local/share", "/.cache", "/.system/etc/xdg", "/.system/share"})
        QDir().mkpath(home + d);
    for (const char *d : {"mime", "icons"})
        QFile::link(QString("/usr/share/") + d, own + "/share/" + d);
    const QString browser = own + "/browser";
    WriteBytes(browser, "#!/bin/sh\nprintf '%s\\n' \"$1\" >>\"${0%/*}/unopened\"\nexit 1\n");
    QFile::setPermissions(browser, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    WriteBytes(own + "/mailcap", {});
    e.insert("HOME", home);
    e.insert("XDG_CONFIG_HOME", home + "/.config");
    e.insert("XDG_DATA_HOME", home + "/.local/share");
    e.insert("XDG_CACHE_HOME", home + "/.cache");
    e.insert("XDG_STATE_HOME", home + "/.local/state");
    e.insert("XDG_CONFIG_DIRS", own + "/etc/xdg");
    e.insert("XDG_DATA_DIRS", own + "/share");
    // xdg-open and Qt choose their ways by the desktop environment named here.
    e.insert("XDG_CURRENT_DESKTOP", "X-Generic");
    e.insert("BROWSER", browser);
    e.insert("MAILCAPS", own + "/mailcap");  // run-mailcap's list, else /etc/mailcap
    // What names another desktop, its look and scale, and a proxy: all the user's own.
    for (const QString &v :
         QString("DESKTOP_SESSION XDG_SESSION_DESKTOP XDG_MENU_PREFIX KDE_FULL_SESSION "
                 "KDE_SESSION_VERSION GNOME_DESKTOP_SESSION_ID MATE_DESKTOP_SESSION_ID "
                 "LXQT_SESSION_CONFIG DESKTOP DEFAULT_BROWSER WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME "
                 "QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS http_proxy https_proxy "
                 "ftp_proxy all_proxy no_proxy HTTP_PROXY HTTPS_PROXY FTP_PROXY ALL_PROXY NO_PROXY")
             .split(' '))
        e.remove(v);
}

std::unique_ptr<QProcess> BrowserSession::start(const QStringList &args,
                                                const QStringList &more) const {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment e = env();
    for (const QString &v : more) e.insert(v.section('=', 0, 0), v.section('=', 1));
    p->setProcessEnvironment(e);
    p->setProcessChannelMode(QProcess::ForwardedChannels);  // never an unread pipe
    p->start(folder.binary(), args);
    p->waitForStarted();
    return p;
}

QList<QPair<QString, QString>> BrowserSession::pages() const {
    QNetworkAccessManager nam;
    QNetworkReply *reply =
        nam.get(QNetworkRequest(QUrl(QString("http://127.0.0.1:%1/json/list").arg(debugPort))));
    QElapsedTimer t;
    t.start();
    while (!reply->isFinished() && t.elapsed() < 3000) QTest::qWait(20);
    QList<QPair<QString, QString>> out;
    for (const auto &v : QJsonDocument::fromJson(reply->readAll()).array()) {
        const QJsonObject o = v.toObject();
        if (o["type"].toString() == "page")
            out << qMakePair(o["url"].toString(), o["title"].toString());
    }
    delete reply;
    return out;
}

bool BrowserSession::hasPage(const QString &url, const QString &title) const {
    for (const auto &p : pages())
        if (p.first == url && (title.isEmpty() || p.second == title)) return true;
    return false;
}

QString BrowserSession::frameWindow() const {
    // The frame is the largest visible window of that name (Qt keeps a hidden one too).
    QString best;
    int area = 0;
    for (const QString &w : x_->windows("(^| - )Orvex Lumetta$")) {
        const QRect r = x_->geometry(w);
        if (r.width() * r.height() > area) {
            area = r.width() * r.height();
            best = w;
        }
    }
    return best;
}

QRect BrowserSession::frameRect() const {
    const QString w = frameWindow();
    return w.isEmpty() ? QRect() : x_->geometry(w);
}

QString BrowserSession::waitForFrame(int timeoutMs) const {
    QString id;
    if (!x_) return id;
    waitFor(
        [&] {
            id = frameWindow();
            return !id.isEmpty();
        },
        timeoutMs);
    return id;
}

namespace {
using chrome::kBorder;
int px(int twips) {
    return twips / 15;
}
int logoLeft(const QRect &f) {
    return kBorder + px(chrome::OnResize({(f.width() - 2 * kBorder) * 15, {}}).logoLeft);
}
}  // namespace

QPoint ChromePoints::toolbar() const {
    return f.topLeft() + QPoint(f.width() / 2, kBorder + 5);
}
QPoint ChromePoints::addressBox() const {
    return f.topLeft() + QPoint(f.width() / 2, kBorder + px(chrome::kToolBarHeight) - 10);
}
QPoint ChromePoints::caption(int index) const {
    const int half = px(chrome::kCaptionSize) / 2;
    return f.topLeft() + QPoint(logoLeft(f) + px(chrome::kCaptionLeft[index]) + half,
                                kBorder + px(chrome::kLogo.y() + chrome::kCaptionTop) + half);
}
QPoint ChromePoints::menuButton() const {
    const QRect ring = chrome::kShape0;
    return f.topLeft() + QPoint(logoLeft(f) + px(ring.center().x()),
                                kBorder + px(chrome::kLogo.y() + chrome::kLogo.height() / 2));
}
QPoint ChromePoints::firstTab() const {
    return f.topLeft() + QPoint(kBorder + 30, kBorder + px(chrome::kToolBarHeight) + 14);
}
QPoint ChromePoints::emptyTabStrip() const {
    return f.topLeft() + QPoint(f.width() - 80, kBorder + px(chrome::kToolBarHeight) + 14);
}
QPoint ChromePoints::zoomLabel() const {
    return QPoint(f.right() - kBorder - px(chrome::kZoom.width()) / 2, f.bottom() - kBorder - 8);
}
QRect ChromePoints::pageArea() const {
    const int top = kBorder + px(chrome::kToolBarHeight) + 40;
    const int bottom = kBorder + px(chrome::kStaBarHeight) + 10;
    return QRect(f.x() + 20, f.y() + top, f.width() - 40, f.height() - top - bottom);
}
QPoint ChromePoints::page() const {
    return pageArea().center();
}

static qint64 parentOf(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return 0;
    const QByteArray s = stat.readAll();
    return s.mid(s.lastIndexOf(')') + 4).split(' ').value(0).toLongLong();
}

QList<qint64> RenderersOf(qint64 browserPid, bool zygotes) {
    QList<qint64> out;
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number) continue;
        QFile cmd("/proc/" + entry + "/cmdline");
        if (!cmd.open(QIODevice::ReadOnly) || !cmd.readAll().contains("QtWebEngineProcess"))
            continue;
        const qint64 parent = parentOf(pid);
        if (zygotes ? parent == browserPid : parent != browserPid && parentOf(parent) == browserPid)
            out << pid;
    }
    return out;
}
