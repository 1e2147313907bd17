#include "disguisepicture.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

void cell(QPainter &p, const QRect &r, const QString &text, const QColor &ink, int pixelSize) {
    QFont f = p.font();
    f.setPixelSize(pixelSize);
    p.setFont(f);
    p.setPen(ink);
    p.drawText(r, Qt::AlignCenter, text);
}

}  // namespace

QPixmap DisguisePicture(disguise::Picture which) {
    QPixmap pm(disguise::PictureSize(which));
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF all = QRectF(pm.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    switch (which) {
        case disguise::Picture::Pinyin: {
            // A light rounded bar: a round mark, then 中 ° ， 简 and a keyboard.
            QLinearGradient g(0, 0, 0, pm.height());
            g.setColorAt(0, QColor(0xfd, 0xfd, 0xfd));
            g.setColorAt(1, QColor(0xe4, 0xe8, 0xee));
            p.setBrush(g);
            p.setPen(QColor(0xa9, 0xb4, 0xc2));
            p.drawRoundedRect(all, 4, 4);
            p.setBrush(QColor(0xf2, 0x6b, 0x1d));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(4, 3, 16, 16));
            cell(p, QRect(4, 3, 16, 16), QStringLiteral("S"), Qt::white, 11);
            const char *const marks[] = {"中", "°", "，", "简"};
            for (int i = 0; i < 4; ++i)
                cell(p, QRect(26 + i * 24, 2, 22, 18), QString::fromUtf8(marks[i]),
                     QColor(0x2b, 0x55, 0x9c), 13);
            p.setPen(QColor(0x55, 0x60, 0x70));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(124, 6, 20, 11), 2, 2);
            for (int k = 0; k < 4; ++k) p.drawPoint(QPointF(128 + k * 4, 10));
            p.drawLine(QPointF(129, 14), QPointF(139, 14));
            p.drawLine(QPointF(150, 5), QPointF(150, 17));
            cell(p, QRect(152, 2, 16, 18), QStringLiteral("⋮"), QColor(0x55, 0x60, 0x70), 12);
            break;
        }
        case disguise::Picture::Microsoft: {
            // A grey bar of square cells, each holding one sign.
            p.setBrush(QColor(0xec, 0xe9, 0xd8));
            p.setPen(QColor(0x8c, 0x8a, 0x7d));
            p.drawRect(all);
            const char *const marks[] = {"中", "拼", "⌨", "简", "°,", "?"};
            for (int i = 0; i < 6; ++i) {
                const QRect r(6 + i * 26, 2, 24, 21);
                p.setPen(QColor(0xff, 0xff, 0xff));
                p.drawLine(r.topLeft(), r.topRight());
                p.drawLine(r.topLeft(), r.bottomLeft());
                p.setPen(QColor(0xa0, 0x9e, 0x90));
                p.drawLine(r.bottomLeft(), r.bottomRight());
                p.drawLine(r.topRight(), r.bottomRight());
                cell(p, r, QString::fromUtf8(marks[i]), QColor(0x1c, 0x2a, 0x6b), 13);
            }
            break;
        }
        case disguise::Picture::Abc: {
            // A raised panel of the old kind: 标准, a keyboard, the punctuation mark.
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setBrush(QColor(0xd4, 0xd0, 0xc8));
            p.setPen(Qt::NoPen);
            p.drawRect(pm.rect());
            p.setPen(Qt::white);
            p.drawLine(0, 0, pm.width() - 1, 0);
            p.drawLine(0, 0, 0, pm.height() - 1);
            p.setPen(QColor(0x40, 0x40, 0x40));
            p.drawLine(0, pm.height() - 1, pm.width() - 1, pm.height() - 1);
            p.drawLine(pm.width() - 1, 0, pm.width() - 1, pm.height() - 1);
            cell(p, QRect(4, 3, 22, 20), QStringLiteral("⊞"), QColor(0x10, 0x40, 0x90), 15);
            cell(p, QRect(28, 3, 40, 20), QStringLiteral("标准"), Qt::black, 13);
            cell(p, QRect(70, 3, 26, 20), QStringLiteral("⌨"), Qt::black, 14);
            cell(p, QRect(98, 3, 24, 20), QStringLiteral("•,"), Qt::black, 13);
            break;
        }
        case disguise::Picture::Custom:
            break;
    }
    return pm;
}
