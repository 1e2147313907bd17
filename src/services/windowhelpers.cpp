#include "windowhelpers.h"

#include <QEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

QScreen *screenOf(QWidget *w) {
    if (w && w->screen()) return w->screen();
    return QGuiApplication::primaryScreen();
}

// Holds the maximised size and position the way the system's own maximise would.
class SizeLimit : public QObject {
  public:
    SizeLimit(QWidget *w, QSize max) : QObject(w), window_(w), max_(max) {}
    bool eventFilter(QObject *o, QEvent *e) override {
        if (o == window_ && e->type() == QEvent::WindowStateChange && window_->isMaximized()) {
            // After the window manager has placed it.
            QTimer::singleShot(0, this, [this] {
                if (!window_ || !window_->isMaximized()) return;
                const QRect screen = screenOf(window_)->geometry();
                window_->setGeometry(QRect(screen.topLeft(), max_));
            });
        }
        return false;
    }

  private:
    QPointer<QWidget> window_;
    QSize max_;
};

}  // namespace

int TaskbarHeight(QWidget *onScreenOf) {
    QScreen *s = screenOf(onScreenOf);
    if (!s) return 0;
    const QRect all = s->geometry(), work = s->availableGeometry();
    return std::max(0, (all.y() + all.height()) - (work.y() + work.height()));
}

void SetWindowSizeLimits(QWidget *window, int minWidth, int minHeight, int maxWidth,
                         int maxHeight) {
    if (!window) return;
    const QSize screen = screenOf(window) ? screenOf(window)->size() : QSize(4096, 4096);
    const QSize max(maxWidth ? maxWidth : screen.width(), maxHeight ? maxHeight : screen.height());
    // Only one window carries the limit at a time.
    static QPointer<SizeLimit> current;
    if (current) current->deleteLater();
    window->setMinimumSize(minWidth, minHeight);
    window->setMaximumSize(max);
    current = new SizeLimit(window, max);
    window->installEventFilter(current);
}

double TwipsPerPixel(const QWidget *w) {
    const QScreen *s = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

QRect TwipsToPixels(const QRect &t, const QWidget *w) {
    const double tpp = TwipsPerPixel(w);
    return QRect(qRound(t.x() / tpp), qRound(t.y() / tpp), qRound(t.width() / tpp),
                 qRound(t.height() / tpp));
}

QPixmap IconToPicture(const QIcon &icon) {
    if (icon.isNull()) return {};
    return icon.pixmap(32, 32);
}

QPixmap FileIconPicture(const QString &path, int) {
    const QFileInfo info(path);
    if (!info.exists()) return {};
    return IconToPicture(QFileIconProvider().icon(info));
}
