#include "capture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QScreen>
#include <QWindow>

namespace {
constexpr int kPenWidth = 4;
constexpr int kAlpha = 230;
}  // namespace

frmMouse::frmMouse(QWidget *overFrame)
    : QWidget(overFrame, overFrame
                             ? Qt::Widget
                             : Qt::Window | Qt::FramelessWindowHint | Qt::Tool |
                                   Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                                   Qt::WindowTransparentForInput | Qt::X11BypassWindowManagerHint) {
    setObjectName(QStringLiteral("frmMouse"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void frmMouse::begin(QPoint globalStart) {
    auto *random = QRandomGenerator::global();
    pen_ = QColor(random->bounded(255), random->bounded(255), random->bounded(255), kAlpha);
    points_ = {globalStart};
    if (parentWidget()) {
        setGeometry(parentWidget()->rect());
        raise();
    } else {
        QScreen *screen = QGuiApplication::screenAt(globalStart);
        setGeometry(screen ? screen->geometry() : QGuiApplication::primaryScreen()->geometry());
    }
    show();
}

void frmMouse::extend(QPoint global) {
    if (points_.isEmpty() || points_.last() == global) return;
    const QPoint from = mapFromGlobal(points_.last()), to = mapFromGlobal(global);
    points_ << global;
    // Only the new piece is painted again: the page under the rest is left alone.
    update(QRect(from, to).normalized().adjusted(-kPenWidth, -kPenWidth, kPenWidth, kPenWidth));
}

void frmMouse::end() {
    hide();
    points_.clear();
}

void frmMouse::paintEvent(QPaintEvent *) {
    if (points_.size() < 2) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(pen_, kPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath path(mapFromGlobal(points_.first()));
    for (qsizetype i = 1; i < points_.size(); ++i) path.lineTo(mapFromGlobal(points_[i]));
    p.drawPath(path);
}

GestureCapture::GestureCapture(std::function<bool(QWindow *, QPoint)> clientArea, frmMouse *trail,
                               QObject *parent)
    : QObject(parent), clientArea_(std::move(clientArea)), trail_(trail) {
    qApp->installEventFilter(this);
}

GestureCapture::~GestureCapture() {
    qApp->removeEventFilter(this);
    if (drawing_) trail_->end();
}

bool GestureCapture::eventFilter(QObject *watched, QEvent *event) {
    // A mouse event reaches the window before the widget under it: taken there, once,
    // and what is swallowed there never reaches the widget (the web page included).
    if (!watched->isWindowType() || replaying_) return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto *window = static_cast<QWindow *>(watched);
    auto *me = static_cast<QMouseEvent *>(event);
    const QPoint global = me->globalPosition().toPoint();
    const bool middle = me->button() == Qt::MiddleButton;
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (!middle) return false;
            if (drawing_) return true;
            if (!clientArea_(window, me->position().toPoint())) return false;
            drawing_ = true;
            pressWindow_ = window;
            pressAt_ = me->position();
            pressGlobal_ = me->globalPosition();
            pressModifiers_ = me->modifiers();
            recogniser_.start(global);
            trail_->begin(global);
            return true;
        case QEvent::MouseMove:
            if (!drawing_) return false;
            trail_->extend(global);
            if (me->buttons() & Qt::MiddleButton) {
                const int before = recogniser_.lastDirection();
                const int d = recogniser_.sample(global);
                if (d != gesture::None && d != before)
                    emit DirectionAdded(gesture::DirectionName(d));
            }
            return false;
        default:  // release
            if (!middle || !drawing_) return false;
            drawing_ = false;
            trail_->end();
            emit Finished(recogniser_.text());
            return true;
    }
}

void GestureCapture::replayClick() {
    if (!pressWindow_) return;
    replaying_ = true;
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, pressAt_, pressGlobal_, Qt::MiddleButton,
                          type == QEvent::MouseButtonPress ? Qt::MiddleButton : Qt::NoButton,
                          pressModifiers_);
        QCoreApplication::sendEvent(pressWindow_, &click);
    }
    replaying_ = false;
}
