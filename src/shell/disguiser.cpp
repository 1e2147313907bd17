#include "disguiser.h"

#include <QApplication>
#include <QToolTip>
#include <QWindow>

#include "bosskey/frmsh.h"
#include "platform/dialogs.h"

Disguiser::Disguiser(OwnedWindows &windows, Dialogs &dialogs, QWidget *frame)
    : QObject(frame), windows_(windows), dialogs_(dialogs), frame_(frame) {
    windows_.add(OwnedWindow::Disguise, [this] {
        auto *sh = new frmSH(frame_);
        // It takes the keys even over a box that waits for its answer.
        sh->setWindowModality(Qt::ApplicationModal);
        connect(sh, &frmSH::RestoreRequested, this, &Disguiser::End);
        return sh;
    });
}

void Disguiser::Disguise() {
    if (active_) return;
    active_ = true;
    dialogs_.hold(true);
    QToolTip::hideText();
    while (QWidget *popup = QApplication::activePopupWidget()) popup->close();
    activeWindow_ = QApplication::activeWindow();
    hidden_.clear();
    QList<QWidget *> shown{frame_};
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != frame_ && w->isVisible()) shown << w;
    for (QWidget *w : shown) {
        // A window the window manager restored behind Qt's back is no longer minimised.
        Qt::WindowStates state = w->windowState();
        if (w->windowHandle() && w->windowHandle()->isExposed()) state &= ~Qt::WindowMinimized;
        // Hiding a box that waits for its answer would end its wait: its window goes alone.
        const bool waiting = w->isModal() && w->windowHandle();
        hidden_ << Hidden{w, state, w->geometry(), waiting};
        if (waiting)
            w->windowHandle()->hide();
        else
            w->hide();
    }
    auto *sh = windows_.get<frmSH>(OwnedWindow::Disguise);
    sh->Load();
    sh->show();
    sh->raise();
    sh->activateWindow();
}

void Disguiser::End() {
    if (!active_) return;
    active_ = false;
    windows_.discard(OwnedWindow::Disguise);
    for (const Hidden &h : std::as_const(hidden_)) {
        QWidget *w = h.window;
        if (!w) continue;
        if (h.waiting)
            w->windowHandle()->show();
        else
            w->show();
        if (h.state & Qt::WindowMinimized)
            w->showMinimized();
        else if (h.state & Qt::WindowMaximized)
            w->showMaximized();
        else if (!(h.state & Qt::WindowFullScreen))
            w->setGeometry(h.geometry);  // a window manager may place a shown window anew
        w->raise();
    }
    hidden_.clear();
    if (activeWindow_ && !activeWindow_->isMinimized()) {
        activeWindow_->raise();
        activeWindow_->activateWindow();
    }
    dialogs_.hold(false);
}
