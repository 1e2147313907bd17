#include "navigation.h"

#include <QStringList>

#include "shell/config.h"

void ApplyNavValue(const QString &value, NavTile &tile) {
    if (value.isEmpty()) return;
    if (value == QLatin1String("e")) {
        tile = NavTile();
        tile.colour = kWhite;
        return;
    }
    const QStringList fields = value.split(QStringLiteral("@@"));
    if (fields.size() > 2) {
        bool ok = false;
        const qint64 c = fields[2].trimmed().toLongLong(&ok);
        if (ok && c >= INT32_MIN && c <= INT32_MAX) tile.colour = qint32(c);
    }
    tile.address = fields[0];
    if (fields.size() > 1) {
        tile.caption = fields[1];
        tile.tooltip = fields[1];
    }
}

QString NavValue(const QString &address, const QString &title, qint32 colour) {
    if (address.isEmpty()) return QStringLiteral("e");
    return address + QStringLiteral("@@") + title + QStringLiteral("@@") + QString::number(colour);
}

QString NavFilePath() {
    return AppDir() + QStringLiteral("数据/navi.ini");
}

QString NavKey(int index) {
    return QStringLiteral("n%1").arg(index + 1);
}

namespace navlayout {

QRect tile(int index) {
    static const int lefts[] = {0, 3480, 6960}, tops[] = {600, 2520, 4440};
    return QRect(lefts[index % 3], tops[index / 3], 2895, 1455);
}
QRect search() {
    return QRect(0, 0, kCoreWidth, 375);
}
QRect caption() {
    return QRect(120, 1080, 2640, 255);
}
QRect editor() {
    return QRect(2040, 1680, 5415, 2895);
}
QRect title() {
    return QRect(120, 120, 1440, 960);
}

QPoint coreOrigin(int pageWidth, int pageHeight) {
    return QPoint((pageWidth - kCoreWidth) / 2, (pageHeight - kCoreHeight) / 2);
}

}  // namespace navlayout
