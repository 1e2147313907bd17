#include "viewshrink.h"

#include <QStackedWidget>
#include <QTimer>
#include <QWidget>

#include "platform/freedmemory.h"

ViewShrink::ViewShrink(QWidget *tab, QWidget *view, std::function<void()> relayout)
    : QObject(tab), tab_(tab), view_(view), relayout_(std::move(relayout)) {}

// Behind the front tab of its stack, in a window on the screen: only there can it be drawn
// without being seen.
bool ViewShrink::behind() const {
    const auto *stack = qobject_cast<QStackedWidget *>(tab_->parentWidget());
    const QWidget *window = tab_->window();
    return stack && stack->currentWidget() && stack->currentWidget() != tab_ &&
           stack->currentWidget()->isVisible() && window->isVisible() && !window->isMinimized();
}

void ViewShrink::shrink(std::function<void()> then) {
    if (shrinking_) return;
    if (!drawn_ || !view_ || !behind()) {
        if (then) then();
        return;
    }
    shrinking_ = true;
    tab_->lower();
    tab_->show();
    view_->setGeometry(0, 0, tab_->width(), 1);
    QTimer::singleShot(kDrawMs, this, [this, then = std::move(then)] {
        if (!shrinking_) return;  // came to the front meanwhile
        shrinking_ = false;
        drawn_ = false;
        tab_->hide();
        relayout_();
        freedmemory::GiveBackSoon();
        if (then) then();
    });
}

void ViewShrink::shown() {
    if (shrinking_) {
        shrinking_ = false;
        relayout_();
    }
    drawn_ = true;
}
