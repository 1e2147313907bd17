#include "stacking.h"

#include <algorithm>

namespace stacking {

int NewTaskTop(const QMap<int, int> &tops) {
    if (tops.isEmpty()) return 0;
    return tops.last() + kPitch;  // QMap is ordered by index
}

QMap<int, int> Restack(const QList<int> &indices) {
    QMap<int, int> out;
    int top = 0;
    for (int i : indices) {
        out.insert(i, top);
        top += kPitch;
    }
    return out;
}

QMap<int, int> Scrolled(const QList<int> &indices, int value) {
    QMap<int, int> out = Restack(indices);
    for (auto it = out.begin(); it != out.end(); ++it) it.value() -= value;
    return out;
}

std::optional<int> ScrollRange(int bottom, int innerHeight) {
    if (bottom <= innerHeight) return std::nullopt;
    return bottom - innerHeight;
}

LineParts LineLayout(int width) {
    const int more = std::max(width, kColumnWidth) - kColumnWidth;
    return {QRect(840, 120, 3300 + more, 255), QRect(840, 360, 3300 + more, 255),
            QRect(4200 + more, 360, 420, 315), QRect(120, 720, 4575 + more, 375)};
}

}  // namespace stacking
