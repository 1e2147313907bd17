#include "emptypage.h"

#include <QMouseEvent>
#include <QPainter>

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
