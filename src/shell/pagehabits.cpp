#include "pagehabits.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

PageHabits::PageHabits(Hooks hooks, QObject *parent) : QObject(parent), hooks_(std::move(hooks)) {}

bool PageHabits::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier &&
                hooks_.inPage(watched))
                return hooks_.escape();
            break;
        }
        case QEvent::MouseButtonPress: {
            const auto button = static_cast<QMouseEvent *>(event)->button();
            if ((button == Qt::BackButton || button == Qt::ForwardButton) &&
                hooks_.inPage(watched)) {
                hooks_.history(button == Qt::ForwardButton);
                return true;
            }
            break;
        }
        case QEvent::Wheel: {
            auto *wheel = static_cast<QWheelEvent *>(event);
            // The engine would zoom on its own and leave the label behind.
            if ((wheel->modifiers() & Qt::ControlModifier) && hooks_.inPage(watched)) {
                if (const int dy = wheel->angleDelta().y()) hooks_.zoom(dy > 0);
                return true;
            }
            break;
        }
        default:
            break;
    }
    return false;
}
