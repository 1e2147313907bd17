#include "captionbutton.h"

#include <QMouseEvent>
#include <QPainter>

CaptionButton::CaptionButton(Kind kind, QWidget *parent)
    : QAbstractButton(parent), kind_(kind), back_(restColour()) {
    static const char *const tips[] = {"关闭", "调节", "最小化"};
    setToolTip(QString::fromUtf8(tips[kind]));
    setFocusPolicy(Qt::NoFocus);
}

QColor CaptionButton::restColour() const {
    switch (kind_) {
        case Close:
            return QColor(0xC0, 0, 0);
        case Adjust:
            return QColor(0x80, 0x80, 0x80);
        case Minimise:
            return palette().color(QPalette::Base);  // the system window colour
    }
    return Qt::white;
}

void CaptionButton::setMaximisedGlyph(bool maximised) {
    maximised_ = maximised;
    update();
}

void CaptionButton::mousePressEvent(QMouseEvent *e) {
    back_ = QColor(0xC0, 0xC0, 0xC0);
    update();
    QAbstractButton::mousePressEvent(e);
}

void CaptionButton::mouseReleaseEvent(QMouseEvent *e) {
    back_ = restColour();
    update();
    QAbstractButton::mouseReleaseEvent(e);
}

void CaptionButton::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), back_);
    p.setPen(QColor(0, 0, 0, 60));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QColor ink = kind_ == Minimise ? QColor(60, 60, 60) : Qt::white;
    p.setPen(QPen(ink, 1.4));
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF g = QRectF(rect()).adjusted(5, 5, -5, -5);
    switch (kind_) {
        case Close:
            p.drawLine(g.topLeft(), g.bottomRight());
            p.drawLine(g.topRight(), g.bottomLeft());
            break;
        case Adjust:
            if (maximised_) {
                p.drawRect(g.adjusted(0, 2, -2, 0));
                p.drawPolyline(QPolygonF{g.topLeft() + QPointF(2, 2), g.topLeft() + QPointF(2, 0),
                                         g.topRight(), g.bottomRight() - QPointF(0, 2),
                                         g.bottomRight() - QPointF(2, 2)});
            } else {
                p.drawRect(g);
            }
            break;
        case Minimise:
            p.drawLine(QPointF(g.left(), g.bottom()), g.bottomRight());
            break;
    }
}
