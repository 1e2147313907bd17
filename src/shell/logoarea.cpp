#include "logoarea.h"

#include <QPainter>

LogoArea::LogoArea(QWidget *parent) : QWidget(parent) {}

void LogoArea::paintEvent(QPaintEvent *) {
    QPainter p(this);
    if (!decorated) return;  // the toolbar's own colour shows through
    if (!background.isNull()) p.drawPixmap(rect(), background);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(border, 1.2));
    p.drawLine(QPointF(0, lineY), QPointF(shape[1].left(), lineY));
    p.drawLine(QPointF(shape[1].right(), lineY), QPointF(shape[0].left(), lineY));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(shape[0]).adjusted(0.5, 0.5, -0.5, -0.5));
    p.setBrush(border);
    p.drawEllipse(QRectF(shape[1]).adjusted(0.5, 0.5, -0.5, -0.5));
}
