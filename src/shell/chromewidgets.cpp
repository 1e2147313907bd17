#include "chromewidgets.h"

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

LogoArea::LogoArea(QWidget *parent) : QWidget(parent) {}

void LogoArea::paintEvent(QPaintEvent *) {
    QPainter p(this);
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

EmptyPage::EmptyPage(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("emptyPage"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xf3, 0xf6, 0xfb));
    p.setColor(QPalette::WindowText, QColor(0x5a, 0x6b, 0x85));
    setPalette(p);
}

void EmptyPage::paintEvent(QPaintEvent *) {
    QPainter p(this);
    QFont f = font();
    f.setPointSize(12);
    p.setFont(f);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(rect(), Qt::AlignCenter,
               QStringLiteral("没有打开的页面\n\n在地址栏输入网址后按回车，"
                              "或双击这里新建选项卡"));
}

void EmptyPage::mouseDoubleClickEvent(QMouseEvent *e) {
    if (e->button() == Qt::LeftButton) emit newTabRequested();
}

QIcon BlankPageIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(110, 118, 130), 2));
    p.setBrush(Qt::white);
    const QPolygonF sheet({{7, 3}, {19, 3}, {26, 10}, {26, 29}, {7, 29}});
    p.drawPolygon(sheet);
    p.drawPolyline(QPolygonF({{19, 3}, {19, 10}, {26, 10}}));
    return QIcon(pm);
}
