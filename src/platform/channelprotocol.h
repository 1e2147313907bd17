#pragma once
// Messages on the instance channel: a 4-byte big-endian length, then that many bytes
// of UTF-8. Anything longer than the limit is refused and the connection dropped.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace channel {

constexpr quint32 kMaxMessage = 64 * 1024;
constexpr char kAck = '\x06';

QByteArray frame(const QString &message);

class Reader {
  public:
    // Appends bytes and returns the messages they complete. Once broken, stays broken.
    QStringList feed(const QByteArray &bytes);
    bool broken() const { return broken_; }

  private:
    QByteArray buffer_;
    bool broken_ = false;
};

}  // namespace channel
