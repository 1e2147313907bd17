#pragma once
// The desktop around the program: opening files, folders and addresses with the programs
// the user chose, file icons, the desktop folder, and what the window system offers.
#include <QIcon>
#include <QString>
#include <QStringList>
#include <functional>

class Desktop {
  public:
    virtual ~Desktop();
    // A file, folder or address opened the way the desktop opens it, a program (a path or a
    // name on PATH) started; false when it could not.
    virtual bool Open(const QString &pathOrAddress) = 0;
    // A file or folder in the desktop's program for it; later, failed with why when the
    // desktop had none or could not open it (false at once when it could not even try).
    virtual bool OpenDocument(const QString &path, std::function<void(const QString &why)> failed) {
        Q_UNUSED(failed);
        return Open(path);
    }
    // The icon the desktop shows for the file; for an empty path, a plain file's.
    virtual QIcon FileIcon(const QString &path) = 0;
    virtual QString DesktopFolder() = 0;
    // A window manager runs: it maximises, minimises and moves windows when asked. Without
    // one (a bare X server) the program places its frame itself.
    virtual bool WindowManagerRunning() = 0;
    // A compositing manager runs, so see-through chrome can show.
    virtual bool GlassAvailable() = 0;
    // A launcher (desktop entry) written to the path, executable and, where the desktop
    // keeps such marks, trusted, so it starts without a warning; false when not written.
    virtual bool WriteLauncher(const QString &path, const QString &contents) = 0;
    // The browser's entry among the user's applications, and the desktop's defaults for
    // what it opens set to it; every failure is silent.
    virtual void RegisterDefaultBrowser(const QString &entry, const QStringList &mimeTypes) = 0;
    // The desktop opens web addresses with our entry.
    virtual bool IsDefaultBrowser() = 0;
};

// Freedesktop ways on X11 (Qt's desktop services, the EWMH properties of the root window).
class SystemDesktop : public Desktop {
  public:
    bool Open(const QString &pathOrAddress) override;
    // xdg-open, whose answer says whether a program took it.
    bool OpenDocument(const QString &path, std::function<void(const QString &why)> failed) override;
    QIcon FileIcon(const QString &path) override;
    QString DesktopFolder() override;
    bool WindowManagerRunning() override;
    bool GlassAvailable() override;
    bool WriteLauncher(const QString &path, const QString &contents) override;
    void RegisterDefaultBrowser(const QString &entry, const QStringList &mimeTypes) override;
    bool IsDefaultBrowser() override;
};

// The file name of the browser's desktop entry.
constexpr char kBrowserEntryName[] = "olumetta.desktop";

// Before the application object exists: as root the web engine runs only without its
// sandbox, and says so; the engine's unsandboxed zygote is not started; and the way pages
// reach the screen is chosen (see ChooseRenderer); the pages' question scheme is registered.
// The engine shares OpenGL contexts only on the GL path: there is no OpenGL on the other.
void PrepareEngineEnvironment();

// Without hardware GL (no render node, an X server without DRI such as Xvfb, a remote
// display, the engine's GPU switched off) compositing the engine's frames through OpenGL
// only runs Mesa's software rasteriser: Qt Quick's software scene graph is far quicker and
// lighter then. OLUMETTA_RENDERER=software|gl overrides the guess.
enum class Renderer { Software, Gl };
struct RendererInput {
    QString override;          // OLUMETTA_RENDERER
    bool renderNode = false;   // a /dev/dri/renderD* exists
    bool driDisplay = false;   // the X server offers DRI2 or DRI3
    bool gpuDisabled = false;  // the engine's flags say --disable-gpu
};
Renderer ChooseRenderer(const RendererInput &in, QString *why = nullptr);
