#include "navigation.h"

#include <QStringList>
#include <algorithm>

#include "core/codepage.h"
#include "core/programfolder.h"
#include "core/store.h"

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

std::optional<StorableTile> StorableNavTile(const QString &address, const QString &title,
                                            qint32 colour) {
    auto clean = [](QString text) {
        while (text.contains(QStringLiteral("@@")))
            text.replace(QStringLiteral("@@"), QStringLiteral("@"));
        while (text.endsWith(u'@')) text.chop(1);
        return text;
    };
    StorableTile t{clean(address.trimmed()), clean(title)};
    auto fits = [&] {
        return codepage::encode(NavValue(t.address, t.title, colour)).size() <= config::kValueBytes;
    };
    while (!fits() && !t.title.isEmpty()) {
        t.title.chop(1);
        if (!t.title.isEmpty() && t.title.back().isHighSurrogate()) t.title.chop(1);
        t.title = clean(t.title);
    }
    if (!fits()) return std::nullopt;
    return t;
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

namespace {
constexpr int kMargin = 120;

double fit(int width, int height) {
    return std::min({1.0, double(width) / kCoreWidth, double(height) / kCoreHeight});
}
}  // namespace

CorePlace placeCore(int pageWidth, int pageHeight) {
    CorePlace p;
    p.scale = std::max(kMinScale, fit(pageWidth - 2 * kMargin, pageHeight - 2 * kMargin));
    auto centre = [&](int top, int height) {
        p.origin = QPoint((pageWidth - int(kCoreWidth * p.scale)) / 2,
                          top + (height - int(kCoreHeight * p.scale)) / 2);
    };
    centre(0, pageHeight);
    const QRect core(p.origin, QSize(int(kCoreWidth * p.scale), int(kCoreHeight * p.scale)));
    if (!core.intersects(title().adjusted(0, 0, kMargin, kMargin))) return p;
    // Below the title, in the height that leaves.
    const int top = title().bottom() + 1 + kMargin;
    p.scale = std::max(kMinScale,
                       std::min(p.scale, fit(pageWidth - 2 * kMargin, pageHeight - top - kMargin)));
    centre(top, std::max(0, pageHeight - top - kMargin));
    p.origin.setY(std::max(p.origin.y(), top));
    return p;
}

QRect scaled(const QRect &r, double scale) {
    return QRect(int(r.x() * scale), int(r.y() * scale), int(r.width() * scale),
                 int(r.height() * scale));
}

}  // namespace navlayout
