#include "desktop.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>

#include "core/desktopentry.h"
#include "core/filewriter.h"
#include "pagequestions.h"

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
    const QString target = pathOrAddress.trimmed();
    if (target.isEmpty()) return false;
    const QFileInfo file(target);
    // A program is started, as the shell would start it; a document or folder opens in the
    // desktop's program for it.
    if (file.isFile() && file.isExecutable())
        return QProcess::startDetached(file.absoluteFilePath(), {});
    if (file.exists())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
    if (target.startsWith(u'/')) return false;  // a path to nothing
    const QString program = QStandardPaths::findExecutable(target);
    if (!program.isEmpty()) return QProcess::startDetached(program, {});
    QUrl url(target);
    if (url.scheme().isEmpty()) url = QUrl::fromUserInput(target);  // "www.example.com"
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool SystemDesktop::OpenDocument(const QString &path,
                                 std::function<void(const QString &why)> failed) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty() || !QFileInfo::exists(path)) return Open(path);
    auto *p = new QProcess;
    QObject::connect(p, &QProcess::finished, p, [p, failed](int code, QProcess::ExitStatus) {
        p->deleteLater();
        // xdg-open's own answers: 2 no such file, 3 no program for it, 4 it failed.
        if (code == 0 || !failed) return;
        failed(code == 2   ? QStringLiteral("文件不存在")
               : code == 3 ? QStringLiteral("系统中没有可以打开它的程序")
                           : QStringLiteral("打开它的程序报告了错误"));
    });
    QObject::connect(p, &QProcess::errorOccurred, p, [p](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) p->deleteLater();
    });
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setStandardErrorFile(QProcess::nullDevice());
    p->start(opener, {QFileInfo(path).absoluteFilePath()});
    return true;
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

namespace {
// A desktop tool's answer; empty when it is missing, fails or hangs.
QString runTool(const QString &tool, const QStringList &args) {
    const QString path = QStandardPaths::findExecutable(tool);
    if (path.isEmpty()) return {};
    QProcess p;
    p.start(path, args);
    if (!p.waitForFinished(5000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        return {};
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

bool writeFile(const QString &path, const QString &contents) {
    return bool(WriteFileWhole(path, contents.toUtf8(), FileAccess::Shared));
}
}  // namespace

bool SystemDesktop::WriteLauncher(const QString &path, const QString &contents) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!writeFile(path, contents)) return false;
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
    runTool(QStringLiteral("gio"), {QStringLiteral("set"), path,
                                    QStringLiteral("metadata::trusted"), QStringLiteral("true")});
    return true;
}

void SystemDesktop::RegisterDefaultBrowser(const QString &entry, const QStringList &mimeTypes) {
    const QString apps = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    QDir().mkpath(apps);
    if (!writeFile(apps + u'/' + QLatin1String(kBrowserEntryName), entry)) return;
    runTool(QStringLiteral("update-desktop-database"), {apps});
    // Bookmark files get a type of their own, so the file manager opens them with us.
    const QString mime = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/mime");
    QDir().mkpath(mime + QStringLiteral("/packages"));
    if (writeFile(mime + QStringLiteral("/packages/olumetta.xml"),
                  QString::fromUtf8(kBookmarkMimeInfo)))
        runTool(QStringLiteral("update-mime-database"), {mime});
    // xdg-mime keeps every other line and group of the user's mimeapps.list.
    for (const QString &type : mimeTypes)
        runTool(QStringLiteral("xdg-mime"),
                {QStringLiteral("default"), QLatin1String(kBrowserEntryName), type});
}

// The desktop's choice names our entry, and the entry starts this program: a copy moved
// elsewhere is not the default, however the entry is named.
bool SystemDesktop::IsDefaultBrowser() {
    if (runTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("x-scheme-handler/http")}) !=
        QLatin1String(kBrowserEntryName))
        return false;
    QFile entry(QStandardPaths::locate(QStandardPaths::ApplicationsLocation,
                                       QLatin1String(kBrowserEntryName)));
    if (!entry.open(QIODevice::ReadOnly)) return false;
    const QString program = ExecArguments(QString::fromUtf8(entry.read(1 << 20))).value(0);
    const QString started = QFileInfo(program).canonicalFilePath();
    return !started.isEmpty() &&
           started == QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
}

bool SystemDesktop::GlassAvailable() {
    Display *d = x11Display();
    if (!d) return false;
    return XGetSelectionOwner(d, XInternAtom(d, "_NET_WM_CM_S0", False)) != 0;
}

Renderer ChooseRenderer(const RendererInput &in, QString *why) {
    auto say = [why](const char *reason, Renderer r) {
        if (why) *why = QLatin1String(reason);
        return r;
    };
    if (in.override == QLatin1String("software")) return say("asked for", Renderer::Software);
    if (in.override == QLatin1String("gl")) return say("asked for", Renderer::Gl);
    if (in.gpuDisabled) return say("the engine's GPU is off", Renderer::Software);
    if (!in.renderNode) return say("no DRI render node", Renderer::Software);
    if (!in.driDisplay) return say("the X server offers no DRI", Renderer::Software);
    return say("hardware GL", Renderer::Gl);
}

namespace {

bool displayOffersDri() {
    Display *d = XOpenDisplay(nullptr);
    if (!d) return false;  // Wayland or no display: the guess rests on the render node
    int opcode = 0, event = 0, error = 0;
    const bool dri = XQueryExtension(d, "DRI3", &opcode, &event, &error) ||
                     XQueryExtension(d, "DRI2", &opcode, &event, &error);
    XCloseDisplay(d);
    return dri;
}

bool renderNodeExists() {
    for (int i = 128; i < 136; ++i)
        if (QFileInfo::exists(QStringLiteral("/dev/dri/renderD%1").arg(i))) return true;
    return false;
}

}  // namespace

void PrepareEngineEnvironment() {
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        std::fprintf(stderr, "olumetta: running as root, the web engine's sandbox is off\n");
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    // The engine's second zygote only serves helpers that run without the sandbox, and none
    // of ours does (the network runs in the browser process): it costs 8 MiB and a process
    // at start. A helper that ever needs it is started directly instead.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--no-unsandboxed-zygote")) {
        flags += flags.isEmpty() ? "--no-unsandboxed-zygote" : " --no-unsandboxed-zygote";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }
    pagequestions::RegisterScheme();
    RendererInput in;
    in.override = qEnvironmentVariable("OLUMETTA_RENDERER");
    in.gpuDisabled =
        qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QLatin1String("--disable-gpu"));
    in.renderNode = renderNodeExists();
    in.driDisplay = in.renderNode && !in.gpuDisabled && displayOffersDri();
    QString why;
    const Renderer r = ChooseRenderer(in, &why);
    if (r == Renderer::Software) {
        // What the user set stays.
        if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
            qputenv("QT_QUICK_BACKEND", "software");
        if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
            qputenv("QT_XCB_GL_INTEGRATION", "none");
    } else {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    }
    if (!qEnvironmentVariableIsEmpty("OLUMETTA_DEBUG"))
        std::fprintf(stderr, "olumetta: renderer %s (%s)\n",
                     r == Renderer::Software ? "software" : "gl", qPrintable(why));
}
