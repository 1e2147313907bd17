#pragma once
// The navigation page's tiles as 数据/navi.ini keeps them: "e" for an empty tile, or
// address@@title@@colour (colour as signed 0x00BBGGRR decimal). Nothing is escaped.
#include <QRect>
#include <QString>
#include <optional>

struct NavTile {
    QString address;  // empty: an empty tile
    QString caption = QStringLiteral("点击添加");
    QString tooltip;
    std::optional<qint32> colour;  // none: the page's own background
};

constexpr qint32 kWhite = 0xFFFFFF;

// Applies one stored value to a tile the way the page reads it: a field that is missing
// or unreadable leaves that part of the tile as it was; an empty value leaves it all.
void ApplyNavValue(const QString &value, NavTile &tile);
// What the editor stores: "e" for an empty address.
QString NavValue(const QString &address, const QString &title, qint32 colour);
// The address and title the stored form can hold: "@@" is the separator, so no "@@"
// inside and no "@" where one would run into it (the end of the address, the end of the
// title), and the whole value within what a setting holds (the title shortened first).
// none when even the address alone is too long.
struct StorableTile {
    QString address, title;
};
std::optional<StorableTile> StorableNavTile(const QString &address, const QString &title,
                                            qint32 colour);
QString NavFilePath();
QString NavKey(int index);  // "n1" .. "n9" for index 0 .. 8

// Layout in twips, inside the centred core (9855 x 6015).
namespace navlayout {
constexpr int kCoreWidth = 9855, kCoreHeight = 6015;
QRect tile(int index);
QRect search();
QRect caption();  // inside a tile
QRect editor();
QRect title();  // the "导航" label, inside the page
// Where the core goes on a page of the given size, and how much it is shrunk: centred
// at full size where it fits; on a smaller page shrunk (to kMinScale at most) and kept
// below the title where the two would meet, so nothing ever overlaps.
struct CorePlace {
    QPoint origin;
    double scale = 1.0;
};
constexpr double kMinScale = 0.6;
CorePlace placeCore(int pageWidth, int pageHeight);
QRect scaled(const QRect &twips, double scale);
}  // namespace navlayout
