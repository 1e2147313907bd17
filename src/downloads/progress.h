#pragma once
// What a download task shows of its progress.
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

// The body is written block by block, each before the next is read.
constexpr qint64 kBlockSize = 1024;

// "已下载: " + kilobytes as a single-precision figure (1, 2, 2.929688) + " KB"; whole
// kilobytes, never an exponent, from ten million on.
QString ProgressText(qint64 bytesWritten);
// The filled width of the bar; none without a known total.
std::optional<int> BarWidth(qint64 bytesWritten, std::optional<qint64> expected, int trackWidth);

// "512 B", "12.4 MB", "230 MB", "9.5 GB".
QString SizeText(qint64 bytes);
// "剩余 15 秒", "剩余 3 分 5 秒", "剩余 2 小时 5 分".
QString TimeLeftText(qint64 seconds);
// While a task runs: "12.4 MB / 47.1 MB，2.3 MB/s，剩余 15 秒"; the total, the speed and
// the time left each only when known, the speed only when asked for (a narrow line
// drops it first).
QString ProgressDetail(qint64 written, std::optional<qint64> expected,
                       std::optional<double> bytesPerSecond, bool withSpeed = true);

// The speed over the last few seconds, from samples of the bytes written so far.
class RateMeter {
  public:
    void sample(qint64 ms, qint64 bytes);
    // None until the samples span a second.
    std::optional<double> bytesPerSecond() const;
    // The time of the last sample whose count grew: what the stall watch measures from.
    qint64 lastGrowth() const { return lastGrowth_; }

  private:
    QList<QPair<qint64, qint64>> samples_;
    qint64 lastGrowth_ = 0;
};
