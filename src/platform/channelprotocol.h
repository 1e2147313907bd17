#pragma once
// Messages on the instance channel: a 4-byte big-endian length, then that many bytes
// of UTF-8. Anything longer than the limit is refused and the connection dropped.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace channel {

// The longest address the web engine takes is 2 MiB characters; a hand-off carries one
// behind its seven-letter command, at most three UTF-8 bytes a character.
constexpr quint32 kMaxAddress = 2 * 1024 * 1024;
constexpr quint32 kMaxMessage = 3 * (kMaxAddress + 7);
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
