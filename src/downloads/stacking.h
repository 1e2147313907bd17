#pragma once
// Where the download manager puts its tasks, in twips: one column, a fixed pitch,
// indices that grow and are never reused while the window lives.
#include <QList>
#include <QMap>
#include <QRect>
#include <optional>

namespace stacking {

constexpr int kPitch = 1215;  // a task's height
constexpr int kColumnWidth = 4815;
constexpr int kScrollWidth = 255;

// The top of a new task: under the task with the highest index, or 0 for the first.
int NewTaskTop(const QMap<int, int> &tops);
// After a removal: every task in index order from 0, one pitch apart.
QMap<int, int> Restack(const QList<int> &indices);
// Scrolled to value: the lowest index at -value, the others one pitch apart.
QMap<int, int> Scrolled(const QList<int> &indices, int value);
// The scroll range needed for a task ending at bottom in a window of that inner height;
// none when it fits.
std::optional<int> ScrollRange(int bottom, int innerHeight);

// The parts of a task's line as wide as that (never narrower than the column): the name, the
// progress text and the bar stretch with it, the stop link keeps to its right edge.
struct LineParts {
    QRect name, progress, link, bar;
};
LineParts LineLayout(int width);

}  // namespace stacking
