#pragma once
// The frame's stored geometry (数据/Form.ini, twips) and where it may be restored.
#include <QList>
#include <QRect>
#include <QString>
#include <optional>

struct StoredGeometry {
    std::optional<double> top, left, width, height;  // twips; missing or not a number = none
};

StoredGeometry ReadStoredGeometry(const QString &formIni);
void WriteStoredGeometry(const QString &formIni, const QRect &pixels, double twipsPerPixel);

// The frame's rectangle in pixels: the stored values where usable, the default for the
// rest, and moved onto the nearest screen when it would lie off every screen.
QRect RestoredGeometry(const StoredGeometry &stored, const QRect &fallback, double twipsPerPixel,
                       const QList<QRect> &screens);

// Decimal text of a single-precision number, as the geometry file holds it.
QString SingleText(double value);
