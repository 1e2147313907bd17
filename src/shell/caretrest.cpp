#include "caretrest.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

CaretRest::CaretRest(int restAfterMs, QObject *parent)
    : QObject(parent), flashTime_(QGuiApplication::styleHints()->cursorFlashTime()) {
    idle_.setSingleShot(true);
    idle_.setInterval(restAfterMs);
    connect(&idle_, &QTimer::timeout, this, &CaretRest::rest);
    qApp->installEventFilter(this);
    idle_.start();
}

CaretRest::~CaretRest() {
    wake();
}

bool CaretRest::eventFilter(QObject *, QEvent *event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::InputMethod:
        case QEvent::FocusIn:
            wake();
            idle_.start();
            break;
        default:
            break;
    }
    return false;
}

void CaretRest::rest() {
    // A flash time of 0 holds every caret lit and stops its timer.
    if (flashTime_ <= 0) return;
    resting_ = true;
    QGuiApplication::styleHints()->setCursorFlashTime(0);
}

void CaretRest::wake() {
    if (!resting_) return;
    resting_ = false;
    QGuiApplication::styleHints()->setCursorFlashTime(flashTime_);
}
