#include "geometry.h"

#include <cmath>

#include "numbers.h"
#include "store.h"

namespace {

std::optional<double> number(const QString &formIni, const char *key) {
    bool ok = false;
    const double v =
        config::toNumber(ReadIni(QStringLiteral("Form"), QLatin1String(key), formIni), &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

StoredGeometry ReadStoredGeometry(const QString &formIni) {
    return {number(formIni, "Top"), number(formIni, "Left"), number(formIni, "Width"),
            number(formIni, "Height")};
}

QString SingleText(double value) {
    return QString::number(float(value), 'g', 7);
}

void WriteStoredGeometry(const QString &formIni, const QRect &r, double tpp) {
    const QString section = QStringLiteral("Form");
    WriteIni(section, QStringLiteral("Top"), SingleText(r.y() * tpp), formIni);
    WriteIni(section, QStringLiteral("Left"), SingleText(r.x() * tpp), formIni);
    WriteIni(section, QStringLiteral("Width"), SingleText(r.width() * tpp), formIni);
    WriteIni(section, QStringLiteral("Height"), SingleText(r.height() * tpp), formIni);
}

QRect RestoredGeometry(const StoredGeometry &s, const QRect &fallback, double tpp,
                       const QList<QRect> &screens) {
    auto px = [tpp](const std::optional<double> &v, int def, int lo, int hi) {
        if (!v) return def;
        const double p = std::round(*v / tpp);
        if (p < lo || p > hi) return def;
        return int(p);
    };
    QRect r(px(s.left, fallback.x(), -100000, 100000), px(s.top, fallback.y(), -100000, 100000),
            px(s.width, fallback.width(), 200, 20000), px(s.height, fallback.height(), 150, 20000));
    if (screens.isEmpty()) return r;
    for (const QRect &sc : screens)
        if (sc.intersects(r)) return r;
    // Off every screen: onto the nearest one, at most its size.
    const QRect *best = &screens.first();
    auto distance = [&r](const QRect &sc) {
        const QPoint d = sc.center() - r.center();
        return double(d.x()) * d.x() + double(d.y()) * d.y();
    };
    for (const QRect &sc : screens)
        if (distance(sc) < distance(*best)) best = &sc;
    r.setSize(r.size().boundedTo(best->size()));
    r.moveLeft(std::clamp(r.x(), best->left(), best->right() - r.width() + 1));
    r.moveTop(std::clamp(r.y(), best->top(), best->bottom() - r.height() + 1));
    return r;
}
