#pragma once
// An X server of the test's own, on a display Xvfb itself found free, with or without a
// window manager (openbox), and real input through the X server's test extension
// (xdotool): keys go to the focused window, clicks to what lies under the pointer.
#include <QColor>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>

class XSession {
  public:
    explicit XSession(bool windowManager, const QSize &screen = {1280, 800});
    ~XSession();
    bool ready() const { return ready_; }
    QString display() const { return display_; }
    QString error() const { return error_; }
    bool windowManager() const { return wm_ != nullptr; }
    // The system environment with this display.
    QProcessEnvironment environment() const;

    // xdotool with these words on this display; its exit code, and its output in out.
    int xdo(const QStringList &args, QByteArray *out = nullptr) const;
    void key(const QString &keys) const;  // "Return", "alt+F4", "ctrl+a"
    void type(const QString &text) const;
    void click(const QPoint &at, int button = 1, int repeat = 1) const;
    // The left button pressed, moved there in steps as a hand drags, and let go.
    void drag(const QPoint &from, const QPoint &to, int steps = 10) const;
    // Holds the key down for a while, as a hand does (the browser polls the keyboard).
    void hold(const QString &key, int ms = 150) const;

    // Another program's window (xmessage) named and placed so ("+X+Y" or "WxH+X+Y"); its
    // window once it shows, or empty text.
    QString openWindow(QProcess &program, const QString &name, const QString &geometry) const;
    // A click on its text, clear of its button, brings it to the front.
    void clickOpenWindow(const QString &window) const;
    // The visible windows whose title matches the pattern (an xdotool regular expression).
    QStringList windows(const QString &titlePattern) const;
    QStringList windowsOf(qint64 pid) const;
    // The window that has the keyboard, as xdotool names it.
    QString focusedWindow() const;
    // A window's place and size on the screen as the X server has it.
    QRect geometry(const QString &window) const;
    QImage screenshot() const;

  private:
    std::unique_ptr<QProcess> xvfb_, wm_;
    QString display_, error_;
    bool ready_ = false;
};

// One point of the screen read as fast as the X server answers, on a thread of its own, while
// `during` runs: each colour it showed there in turn (a repeat counted once).
QList<QColor> WatchPixel(const XSession &x, const QPoint &at, const std::function<void()> &during);

// The share of pixels in the rectangle that are close to the colour.
double ShareOfColour(const QImage &image, const QRect &area, const QColor &colour);
