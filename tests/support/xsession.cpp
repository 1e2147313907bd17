#include "xsession.h"

#include <QElapsedTimer>
#include <QTest>

#include "wait.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <thread>

namespace {

// An X server answers on the display once a client can query it.
bool answers(const QString &display) {
    QProcess p;
    p.start("xdpyinfo", {"-display", display});
    p.waitForFinished(3000);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace

XSession::XSession(bool windowManager, const QSize &screen) {
    // -displayfd: Xvfb picks a display nobody uses and names it once it serves. A server that
    // named one and did not answer there (a previous one's socket still going away) is
    // started again. -noreset: by default the server resets when its last client leaves, and
    // a browser started just then (after a test killed the one before) cannot connect.
    for (int attempt = 0; attempt < 3 && display_.isEmpty(); ++attempt) {
        xvfb_ = std::make_unique<QProcess>();
        xvfb_->start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-noreset", "-screen", "0",
                              QString("%1x%2x24").arg(screen.width()).arg(screen.height())});
        if (!xvfb_->waitForStarted(5000)) continue;
        QByteArray number;
        QElapsedTimer t;
        t.start();
        while (!number.contains('\n') && t.elapsed() < 15000 &&
               xvfb_->state() == QProcess::Running) {
            xvfb_->waitForReadyRead(200);
            number += xvfb_->readAllStandardOutput();
        }
        const QString named = ":" + QString::fromLatin1(number.trimmed());
        if (number.contains('\n') && waitFor([&] { return answers(named); }, 5000)) {
            display_ = named;
            break;
        }
        error_ = "Xvfb did not serve: " + QString::fromLocal8Bit(xvfb_->readAllStandardError());
        xvfb_->kill();
        xvfb_->waitForFinished(3000);
    }
    if (display_.isEmpty()) return;
    if (windowManager) {
        // Running once it has named its check window on the root; one that died on the way
        // is started again, once.
        auto wmUp = [&] {
            QProcess p;
            p.setProcessEnvironment(environment());
            p.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
            p.waitForFinished(3000);
            return p.readAllStandardOutput().contains("window id");
        };
        for (int attempt = 0; attempt < 2 && !wmUp(); ++attempt) {
            wm_ = std::make_unique<QProcess>();
            wm_->setProcessEnvironment(environment());
            wm_->setProcessChannelMode(QProcess::MergedChannels);
            wm_->start("openbox", {"--sm-disable"});
            waitFor([&] { return wmUp() || wm_->state() == QProcess::NotRunning; }, 20000);
        }
        if (!wmUp()) {
            error_ = "openbox did not start: " + QString::fromLocal8Bit(wm_->readAll());
            return;
        }
    }
    ready_ = true;
}

XSession::~XSession() {
    for (auto *p : {wm_.get(), xvfb_.get()}) {
        if (!p || p->state() == QProcess::NotRunning) continue;
        p->terminate();
        if (!p->waitForFinished(3000)) {
            p->kill();
            p->waitForFinished(3000);
        }
    }
}

QProcessEnvironment XSession::environment() const {
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("DISPLAY", display_);
    return e;
}

int XSession::xdo(const QStringList &args, QByteArray *out) const {
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start("xdotool", args);
    p.waitForFinished(10000);
    if (out) *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void XSession::key(const QString &keys) const {
    xdo({"key", "--delay", "60", keys});
    QTest::qWait(100);
}

void XSession::type(const QString &text) const {
    xdo({"type", "--delay", "40", text});
    QTest::qWait(100);
}

void XSession::click(const QPoint &at, int button, int repeat) const {
    xdo({"mousemove", QString::number(at.x()), QString::number(at.y())});
    QTest::qWait(80);
    xdo({"click", "--repeat", QString::number(repeat), "--delay", "90", QString::number(button)});
    QTest::qWait(150);
}

void XSession::drag(const QPoint &from, const QPoint &to, int steps) const {
    xdo({"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1"});
    for (int step = 1; step <= steps; ++step) {
        const QPoint at = from + (to - from) * step / steps;
        xdo({"mousemove", QString::number(at.x()), QString::number(at.y())});
        QTest::qWait(30);
    }
    QTest::qWait(200);  // the place is taken before the button goes up
    xdo({"mouseup", "1"});
    QTest::qWait(100);
}

void XSession::hold(const QString &key, int ms) const {
    xdo({"keydown", key});
    QTest::qWait(ms);
    xdo({"keyup", key});
    QTest::qWait(100);
}

QString XSession::openWindow(QProcess &program, const QString &name,
                             const QString &geometry) const {
    program.setProcessEnvironment(environment());
    program.start("xmessage", {"-name", name, "-geometry", geometry, name});
    QStringList ids;
    waitFor([&] { return !(ids = windows("^" + name + "$")).isEmpty(); }, 10000);
    QTest::qWait(300);  // placed by a window manager, if any
    return ids.isEmpty() ? QString() : ids.first();
}

void XSession::clickOpenWindow(const QString &window) const {
    const QRect r = geometry(window);
    click(r.topLeft() + QPoint(r.width() / 2, 6));
    if (windowManager()) {
        // In front once the window manager says so; keys sent before then go elsewhere.
        waitFor(
            [&] {
                QByteArray active;
                xdo({"getactivewindow"}, &active);
                if (active.trimmed() == window.toLatin1()) return true;
                xdo({"windowactivate", window});
                return false;
            },
            5000);
    }
    QTest::qWait(300);
}

QStringList XSession::windows(const QString &titlePattern) const {
    QByteArray out;
    xdo({"search", "--onlyvisible", "--name", titlePattern}, &out);
    return QString::fromLatin1(out).split('\n', Qt::SkipEmptyParts);
}

QStringList XSession::windowsOf(qint64 pid) const {
    QByteArray out;
    xdo({"search", "--onlyvisible", "--pid", QString::number(pid)}, &out);
    return QString::fromLatin1(out).split('\n', Qt::SkipEmptyParts);
}

QString XSession::focusedWindow() const {
    QByteArray out;
    xdo({"getwindowfocus"}, &out);
    return QString::fromLatin1(out.trimmed());
}

QRect XSession::geometry(const QString &window) const {
    QByteArray out;
    xdo({"getwindowgeometry", "--shell", window}, &out);
    QRect r;
    for (const QByteArray &line : out.split('\n')) {
        const int eq = line.indexOf('=');
        const QByteArray k = line.left(eq);
        const int v = line.mid(eq + 1).toInt();
        if (k == "X") r.moveLeft(v);
        if (k == "Y") r.moveTop(v);
        if (k == "WIDTH") r.setWidth(v);
        if (k == "HEIGHT") r.setHeight(v);
    }
    return r;
}

QImage XSession::screenshot() const {
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start("import", {"-window", "root", "png:-"});
    p.waitForFinished(15000);
    return QImage::fromData(p.readAllStandardOutput(), "PNG");
}

QList<QColor> WatchPixel(const XSession &x, const QPoint &at, const std::function<void()> &during) {
    std::atomic<bool> done{false};
    QList<QColor> seen;
    std::thread watch([&, display = x.display().toLatin1()] {
        Display *d = XOpenDisplay(display.constData());
        while (d && !done) {
            XImage *image =
                XGetImage(d, DefaultRootWindow(d), at.x(), at.y(), 1, 1, AllPlanes, ZPixmap);
            if (!image) break;
            const QColor c = QColor::fromRgb(QRgb(XGetPixel(image, 0, 0)));
            XDestroyImage(image);
            if (seen.isEmpty() || seen.last() != c) seen << c;
        }
        if (d) XCloseDisplay(d);
    });
    during();
    done = true;
    watch.join();
    return seen;
}

double ShareOfColour(const QImage &image, const QRect &area, const QColor &colour) {
    const QRect r = area.intersected(image.rect());
    if (r.isEmpty()) return 0;
    qint64 near = 0, all = 0;
    for (int y = r.top(); y <= r.bottom(); y += 3)
        for (int x = r.left(); x <= r.right(); x += 3) {
            const QColor c = image.pixelColor(x, y);
            ++all;
            if (qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green()) +
                    qAbs(c.blue() - colour.blue()) <
                30)
                ++near;
        }
    return double(near) / all;
}
