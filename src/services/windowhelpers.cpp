#include "windowhelpers.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

QScreen *screenOf(QWidget *w) {
    if (w && w->screen()) return w->screen();
    return QGuiApplication::primaryScreen();
}

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
    // The window system keeps a maximised window within these, as the frame's own
    // maximise does where there is no window manager.
    window->setMinimumSize(minWidth, minHeight);
    window->setMaximumSize(maxWidth ? maxWidth : screen.width(),
                           maxHeight ? maxHeight : screen.height());
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

void ActivateWhenShown(QObject *owner, std::function<QWidget *()> target,
                       std::function<void(QWidget *)> active) {
    auto *poll = new QTimer(owner);
    poll->setInterval(50);
    QObject::connect(poll, &QTimer::timeout, poll, [=, tries = 0]() mutable {
        QWidget *w = target();
        const bool exposed = w->windowHandle() && w->windowHandle()->isExposed();
        if (exposed && !w->isActiveWindow()) w->activateWindow();
        if (w->isActiveWindow()) active(w);
        if (w->isActiveWindow() || ++tries > 60) poll->deleteLater();
    });
    poll->start();
}
