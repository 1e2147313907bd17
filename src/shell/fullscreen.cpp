#include "fullscreen.h"

#include <QWidget>

FullScreen::FullScreen(QWidget *frame, QList<QWidget *> chrome)
    : QObject(frame), frame_(frame), chrome_(std::move(chrome)) {}

void FullScreen::setPage(bool on) {
    if (on == page_) return;
    page_ = on;
    if (on) {
        for (QWidget *w : chrome_)
            if (w->isVisible()) {
                hidden_ << w;
                w->hide();
            }
        enter();
    } else {
        for (const QPointer<QWidget> &w : hidden_)
            if (w) w->show();
        hidden_.clear();
        leave();
    }
}

void FullScreen::toggle() {
    if (frame_->isFullScreen())
        leave();
    else
        enter();
}

void FullScreen::enter() {
    before_ = frame_->windowState();
    frame_->showFullScreen();
}

void FullScreen::leave() {
    frame_->setWindowState(before_);
}
