#include "statusstrip.h"

#include <QLabel>
#include <QMouseEvent>

#include "services/windowhelpers.h"
#include "skins/colour.h"

StatusStrip::StatusStrip(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picStaBar"));
    setFixedHeight(px(chrome::kStaBarHeight));
    imgStaBG = new QLabel(this);
    imgStaBG->setObjectName(QStringLiteral("imgStaBG"));
    imgStaBG->setScaledContents(true);  // stretched by the layout rules
    lblSta = new QLabel(QStringLiteral("状态"), this);
    lblSta->setObjectName(QStringLiteral("lblSta"));
    lblMouse = new QLabel(QStringLiteral("鼠标手势"), this);
    lblMouse->setObjectName(QStringLiteral("lblMouse"));
    lblZoom = new QLabel(QStringLiteral("100 %"), this);
    lblZoom->setObjectName(QStringLiteral("lblZoom"));
    lblZoom->setToolTip(QStringLiteral("左击放大，右击缩小，单击中键还原"));
    lblZoom->setCursor(Qt::PointingHandCursor);
    lblMouse->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblZoom->setAlignment(Qt::AlignCenter);
    lblSta->setGeometry(px(chrome::kStatus.x()), 0, px(chrome::kStatus.width()),
                        px(chrome::kStatus.height()));
    lblMouse->resize(px(chrome::kMouse.width()), px(chrome::kMouse.height()));
    lblZoom->resize(px(chrome::kZoom.width()), px(chrome::kZoom.height()));
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(imgStaBG),
                       static_cast<QWidget *>(lblZoom), static_cast<QWidget *>(lblSta)})
        w->installEventFilter(this);
}

int StatusStrip::px(int twips) const {
    return qRound(twips / TwipsPerPixel(this));
}

void StatusStrip::setStatus(const QString &text) {
    lblSta->setText(text);
}

void StatusStrip::setZoom(const QString &percent) {
    lblZoom->setText(percent + QStringLiteral(" %"));
}

void StatusStrip::setGestureText(const QString &text) {
    lblMouse->setText(text);
    lblMouse->setToolTip(text);
}

void StatusStrip::setGesturesOn(bool on) {
    lblMouse->setText(on ? QStringLiteral("鼠标手势") : QStringLiteral("关闭手势"));
}

void StatusStrip::setSkin(const QColor &bar, const QPixmap &background, int heightTwips) {
    SetBackground(this, bar);
    QPalette text = palette();  // readable on light and dark skins alike
    text.setColor(QPalette::WindowText,
                  bar.lightness() < 128 ? QColor(235, 238, 245) : QColor(30, 40, 60));
    setPalette(text);
    imgStaBG->setPixmap(background);
    setFixedHeight(px(heightTwips));
}

QColor StatusStrip::textColour() const {
    return palette().color(QPalette::WindowText);
}

bool StatusStrip::zoomLabelAt(const QPoint &global) const {
    return lblZoom->isVisible() && lblZoom->rect().contains(lblZoom->mapFromGlobal(global));
}

void StatusStrip::place(const chrome::ResizeLayout &r) {
    imgStaBG->setGeometry(0, 0, px(r.imgStaBG.width()), height());
    lblZoom->move(px(r.zoomLeft), 0);
    lblMouse->move(px(r.mouseLeft), 0);
    lblSta->resize(qMax(0, lblMouse->x() - lblSta->x() - 8), lblSta->height());
}

bool StatusStrip::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::MouseButtonRelease) return QWidget::eventFilter(watched, event);
    const auto *me = static_cast<QMouseEvent *>(event);
    if (watched == lblZoom) {
        if (me->button() == Qt::LeftButton) emit ZoomClicked(1);
        if (me->button() == Qt::RightButton) emit ZoomClicked(-1);
        if (me->button() == Qt::MiddleButton) emit ZoomClicked(0);
        return true;
    }
    if (watched == lblSta && me->button() == Qt::LeftButton) emit StatusClicked();
    if ((watched == this || watched == imgStaBG) && me->button() == Qt::RightButton) {
        emit MenuRequested(me->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
