#pragma once
// The program as a user starts it: a fresh program folder with the binary, its own
// runtime folder (so its instance channel is its own), the web engine's debugging port
// for listing the open pages, and optionally an X server of the test's own.
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <memory>

#include "testfolder.h"

class XSession;

class BrowserSession {
  public:
    explicit BrowserSession(const XSession *x = nullptr);
    QProcessEnvironment env() const;
    // What the desktop was asked to open and had no program for, one path or address each.
    QStringList unopened() const;
    // env: more variables, "NAME=value".
    std::unique_ptr<QProcess> start(const QStringList &args, const QStringList &env = {}) const;
    // The open pages: url -> title.
    QList<QPair<QString, QString>> pages() const;
    bool hasPage(const QString &url, const QString &title = {}) const;

    // The frame's X window once it shows, or empty text.
    QString waitForFrame(int timeoutMs = 40000) const;
    QString frameWindow() const;
    QRect frameRect() const;  // as the X server has it now

    TestFolder folder;
    QTemporaryDir runtime;
    quint16 debugPort;
    QString chromiumFlags = "--disable-gpu";

  private:
    const XSession *x_;
};

// Points of the frame's chrome a user clicks, from the frame's size on the screen and the
// layout rules (pixels at 15 twips each, the virtual screen's 96 dpi).
struct ChromePoints {
    explicit ChromePoints(const QRect &frame) : f(frame) {}
    QPoint toolbar() const;  // bare toolbar, above the address box: drag, double-click
    QPoint addressBox() const;
    QPoint caption(int index) const;  // 0 close, 1 maximise/restore, 2 minimise
    QPoint menuButton() const;
    QPoint firstTab() const;
    QPoint emptyTabStrip() const;
    QPoint zoomLabel() const;  // in the status strip's right corner
    QPoint page() const;       // the middle of the page area
    QRect pageArea() const;
    QRect f;
};

// The desktop a program started by a test finds in home, the same on every machine: its
// homes and the desktop's folders are there, with the system's file types and icons but none
// of its programs; no desktop environment, no proxy. A file or address with no program of
// the test's for it goes to xdg-open's last resort, $BROWSER: here a script that notes it
// and fails.
void UseOwnDesktop(QProcessEnvironment &e, const QString &home);

quint16 FreePort();
// The browser's page processes: forked from its zygote, they are its grandchildren (their
// command line stays the zygote's); with zygotes, the engine's processes that are its children.
QList<qint64> RenderersOf(qint64 browserPid, bool zygotes = false);
