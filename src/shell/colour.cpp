#include "colour.h"

#include <QGuiApplication>
#include <QPalette>

QColor ColourFromBgr(qint32 value) {
    // A system colour (top bit set): the desktop's window colour is the nearest we have.
    if (value < 0) return QGuiApplication::palette().color(QPalette::Window);
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

qint32 BgrFromColour(const QColor &c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

std::optional<qint32> BgrFromText(const QString &text) {
    const QString t = text.trimmed();
    bool ok = false;
    qint64 v = 0;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        QString hex = t.mid(2);
        if (hex.endsWith(QLatin1Char('&'))) hex.chop(1);
        v = hex.toLongLong(&ok, 16);
        if (ok && v > INT32_MAX && v <= 0xFFFFFFFFLL) v -= 0x100000000LL;  // as a 32-bit value
    } else {
        v = t.toLongLong(&ok);
    }
    if (!ok || v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return qint32(v);
}
