#pragma once
// The boss key's disguise: which picture ("SuperHide"), where it sits, what restores.
#include <QRect>
#include <QString>

namespace disguise {

// The three pictures of our own drawing, by "SuperHide"; any other number: the custom one.
enum class Picture { Pinyin, Microsoft, Abc, Custom };
Picture PictureFor(const QString &superHide);
QSize PictureSize(Picture p);  // 169×22, 166×25, 127×26; none for the custom picture

// The window's place, in pixels: its bottom-right corner on the screen's right edge, just
// above a bottom taskbar of taskbarHeight pixels.
QRect Place(const QSize &screen, int taskbarHeight, const QSize &picture);

// Only the exact restore character restores (case kept); an empty one never does.
bool Restores(const QString &typed, const QString &restoreCharacter);

}  // namespace disguise
