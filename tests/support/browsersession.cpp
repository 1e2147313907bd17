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
    e.insert("HOME", runtime.path());
    e.insert("QTWEBENGINE_REMOTE_DEBUGGING", QString("127.0.0.1:%1").arg(debugPort));
    e.insert("QTWEBENGINE_CHROMIUM_FLAGS", chromiumFlags);
    return e;
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
