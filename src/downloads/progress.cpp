#include "progress.h"

#include "core/geometry.h"

QString ProgressText(qint64 bytesWritten) {
    return QStringLiteral("已下载: ") + SingleText(double(bytesWritten) / 1024.0) +
           QStringLiteral(" KB");
}

std::optional<int> BarWidth(qint64 bytesWritten, std::optional<qint64> expected, int trackWidth) {
    if (!expected || *expected <= 0) return std::nullopt;
    return int(double(bytesWritten) / double(*expected) * trackWidth);
}
