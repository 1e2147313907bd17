// Draws the pictures of the shipped skins: five toolbar buttons with their pressed
// variants and the toolbar and status-bar backgrounds. Run at build time.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

struct Palette {
    const char *folder;  // empty: the pictures lie in the skin folder itself, named with prefix
    const char *prefix;
    QColor barTop, barBottom, glyph, face, facePressed;
};

void arrow(QPainter &p, bool right) {
    QPainterPath path;
    const qreal s = right ? -1 : 1;
    path.moveTo(15 - 6 * s, 15);
    path.lineTo(15 + 1 * s, 8);
    path.lineTo(15 + 1 * s, 12);
    path.lineTo(15 + 7 * s, 12);
    path.lineTo(15 + 7 * s, 18);
    path.lineTo(15 + 1 * s, 18);
    path.lineTo(15 + 1 * s, 22);
    path.closeSubpath();
    p.drawPath(path);
}

void glyph(QPainter &p, int button, const QColor &c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    switch (button) {
        case 0:
            arrow(p, false);
            break;
        case 1:
            arrow(p, true);
            break;
        case 2:  // stop
            p.setPen(QPen(c, 2.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(10, 10), QPointF(20, 20));
            p.drawLine(QPointF(20, 10), QPointF(10, 20));
            break;
        case 3: {  // refresh
            p.setPen(QPen(c, 2.4, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(9, 9, 12, 12), 60 * 16, 290 * 16);
            QPainterPath head;
            head.moveTo(19.5, 6.5);
            head.lineTo(23, 11.5);
            head.lineTo(17, 12);
            head.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawPath(head);
            break;
        }
        case 4:  // menu
            for (int i = 0; i < 3; ++i) p.drawRoundedRect(QRectF(9, 10 + i * 4.5, 12, 2.2), 1, 1);
            break;
    }
}

QImage button(const Palette &pal, int index, bool pressed) {
    QImage img(30, 30, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(pal.glyph.lighter(pressed ? 100 : 160), 1));
    p.setBrush(pressed ? pal.facePressed : pal.face);
    p.drawRoundedRect(QRectF(1.5, 1.5, 27, 27), 6, 6);
    glyph(p, index, pal.glyph);
    return img;
}

QImage gradient(int w, int h, const QColor &top, const QColor &bottom) {
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(img.rect(), g);
    return img;
}

bool save(const QImage &img, const QString &path) {
    if (img.save(path)) return true;
    std::fprintf(stderr, "skinart: cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: skinart OUTDIR\n");
        return 2;
    }
    const Palette skins[] = {
        {"默认", "", QColor(0xd6, 0xe6, 0xfb), QColor(0xa9, 0xc8, 0xf2), QColor(0x24, 0x4f, 0x8c),
         QColor(0xf4, 0xf8, 0xff), QColor(0xc0, 0xc0, 0xc0)},
        {"翠绿", "", QColor(0xdc, 0xf2, 0xdf), QColor(0x9f, 0xd4, 0xa8), QColor(0x1f, 0x6b, 0x35),
         QColor(0xf3, 0xfb, 0xf4), QColor(0xb7, 0xd8, 0xbc)},
        {"", "暮色_", QColor(0x4a, 0x4f, 0x5c), QColor(0x2b, 0x2f, 0x38), QColor(0xe8, 0xec, 0xf2),
         QColor(0x5a, 0x61, 0x70), QColor(0x3a, 0x3f, 0x4a)},
    };
    bool ok = true;
    for (const Palette &pal : skins) {
        const QString dir = QString::fromUtf8(argv[1]) + "/皮肤/" + QString::fromUtf8(pal.folder);
        const QString base = dir + "/" + QString::fromUtf8(pal.prefix);
        QDir().mkpath(dir);
        for (int i = 0; i < 5; ++i) {
            ok &= save(button(pal, i, false), QStringLiteral("%1tb%2.png").arg(base).arg(i + 1));
            ok &= save(button(pal, i, true), QStringLiteral("%1tb%2_.png").arg(base).arg(i + 1));
        }
        ok &= save(gradient(64, 41, pal.barTop, pal.barBottom), base + "bg_t.png");
        ok &= save(gradient(64, 20, pal.barBottom, pal.barTop), base + "bg_b.png");
    }
    return ok ? 0 : 1;
}
