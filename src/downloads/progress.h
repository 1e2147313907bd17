#pragma once
// What a download task shows of its progress.
#include <QString>
#include <optional>

// The body is written block by block, each before the next is read.
constexpr qint64 kBlockSize = 1024;

// "已下载: " + kilobytes as a single-precision figure (1, 2, 2.929688) + " KB".
QString ProgressText(qint64 bytesWritten);
// The filled width of the bar; none without a known total.
std::optional<int> BarWidth(qint64 bytesWritten, std::optional<qint64> expected, int trackWidth);
