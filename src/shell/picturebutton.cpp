#include "picturebutton.h"

#include <QMouseEvent>
#include <QPainter>

PictureButton::PictureButton(QWidget *parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::setPicture(const QPixmap &picture) {
    if (picture.isNull()) return;  // a missing picture leaves the button as it was
    picture_ = picture;
    resize(picture.deviceIndependentSize().toSize());
    update();
}

QSize PictureButton::sizeHint() const {
    return picture_.deviceIndependentSize().toSize();
}

void PictureButton::paintEvent(QPaintEvent *) {
    QPainter p(this);
    if (picture_.isNull()) {
        p.drawText(rect(), Qt::AlignCenter, toolTip().left(1));
        return;
    }
    if (!isEnabled()) p.setOpacity(0.35);  // nowhere to go that way
    p.drawPixmap(0, 0, picture_);
    if (isEnabled() && underMouse() && !isDown()) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 6, 6);
    }
}

void PictureButton::mouseDoubleClickEvent(QMouseEvent *e) {
    // The second press of a double-click is no click of its own.
    if (e->button() == Qt::LeftButton)
        emit doubleClicked();
    else
        QAbstractButton::mouseDoubleClickEvent(e);
}
