#include "desktop.h"

#include <unistd.h>

#include <QDesktopServices>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>

// Xlib's macros clash with Qt's names: its headers come last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

Desktop::~Desktop() = default;

namespace {

Display *x11Display() {
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

}  // namespace

bool SystemDesktop::Open(const QString &pathOrAddress) {
    const QUrl url =
        QFileInfo::exists(pathOrAddress) ? QUrl::fromLocalFile(pathOrAddress) : QUrl(pathOrAddress);
    return url.isValid() && QDesktopServices::openUrl(url);
}

QIcon SystemDesktop::FileIcon(const QString &path) {
    QFileIconProvider icons;
    if (path.isEmpty()) return icons.icon(QFileIconProvider::File);
    const QFileInfo info(path);
    return info.exists() ? icons.icon(info) : QIcon();
}

QString SystemDesktop::DesktopFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

bool SystemDesktop::WindowManagerRunning() {
    Display *d = x11Display();
    if (!d) return qGuiApp && qGuiApp->platformName() != QLatin1String("offscreen");
    // An EWMH window manager names its check window on the root.
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    const bool found = XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, XA_WINDOW,
                                          &type, &format, &count, &after, &data) == Success &&
                       type == XA_WINDOW && count == 1;
    if (data) XFree(data);
    return found;
}

bool SystemDesktop::GlassAvailable() {
    Display *d = x11Display();
    if (!d) return false;
    return XGetSelectionOwner(d, XInternAtom(d, "_NET_WM_CM_S0", False)) != 0;
}

void PrepareEngineEnvironment() {
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        std::fprintf(stderr, "olumetta: running as root, the web engine's sandbox is off\n");
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}
