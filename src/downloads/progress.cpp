#include "progress.h"

#include <algorithm>
#include <cmath>

#include "core/geometry.h"

QString ProgressText(qint64 bytesWritten) {
    const double kb = double(bytesWritten) / 1024.0;
    const QString figure = kb < 1e7 ? SingleText(kb) : QString::number(qint64(kb));
    return QStringLiteral("已下载: ") + figure + QStringLiteral(" KB");
}

std::optional<int> BarWidth(qint64 bytesWritten, std::optional<qint64> expected, int trackWidth) {
    if (!expected || *expected <= 0) return std::nullopt;
    // More than the server announced fills the track, never beyond it.
    const double share = std::clamp(double(bytesWritten) / double(*expected), 0.0, 1.0);
    return int(share * trackWidth);
}

QString SizeText(qint64 bytes) {
    if (bytes < 1024) return QString::number(qMax<qint64>(0, bytes)) + QStringLiteral(" B");
    static const char *units[] = {"KB", "MB", "GB", "TB"};
    double v = double(bytes) / 1024.0;
    int u = 0;
    // 999.96 KB would print as "1000.0 KB": it is the next unit's 1.0 by then.
    while (u < 3 && v >= 999.95) {
        v /= 1024.0;
        ++u;
    }
    return QString::number(v, 'f', v < 99.95 ? 1 : 0) + u' ' + QLatin1String(units[u]);
}

QString TimeLeftText(qint64 seconds) {
    const qint64 s = qMax<qint64>(0, seconds);
    QString t;
    if (s < 60)
        t = QStringLiteral("%1 秒").arg(s);
    else if (s < 3600)
        t = QStringLiteral("%1 分 %2 秒").arg(s / 60).arg(s % 60);
    else
        t = QStringLiteral("%1 小时 %2 分").arg(s / 3600).arg(s % 3600 / 60);
    return QStringLiteral("剩余 ") + t;
}

namespace {
// A figure worked out in double, held within what a count can be.
qint64 count(double v) {
    return v >= 9.2e18 ? qint64(9.2e18) : v > 0 ? qint64(v) : 0;
}
}  // namespace

QString ProgressDetail(qint64 written, std::optional<qint64> expected,
                       std::optional<double> bytesPerSecond, bool withSpeed) {
    QString t = SizeText(written);
    const bool total = expected && *expected > 0;
    if (total) t += QStringLiteral(" / ") + SizeText(*expected);
    if (!bytesPerSecond) return t;
    if (withSpeed)
        t += QStringLiteral("，") + SizeText(count(*bytesPerSecond)) + QStringLiteral("/s");
    if (total && *bytesPerSecond >= 1 && *expected >= written)
        t +=
            QStringLiteral("，") +
            TimeLeftText(count(std::ceil((double(*expected) - double(written)) / *bytesPerSecond)));
    return t;
}

void RateMeter::sample(qint64 ms, qint64 bytes) {
    if (samples_.isEmpty() || bytes > samples_.last().second) lastGrowth_ = ms;
    samples_.append({ms, bytes});
    constexpr qint64 kWindowMs = 3000;
    // Differences in double: a clock at either end of its range never overflows them.
    while (samples_.size() > 2 && double(ms) - double(samples_[1].first) >= kWindowMs)
        samples_.removeFirst();
}

std::optional<double> RateMeter::bytesPerSecond() const {
    if (samples_.size() < 2) return std::nullopt;
    const auto &[t0, b0] = samples_.first();
    const auto &[t1, b1] = samples_.last();
    const double span = double(t1) - double(t0);
    if (!(span >= 1000)) return std::nullopt;
    return (double(b1) - double(b0)) * 1000.0 / span;
}
