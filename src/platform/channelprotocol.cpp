#include "channelprotocol.h"

#include <QtEndian>

namespace channel {

QByteArray frame(const QString &message) {
    const QByteArray body = message.toUtf8();
    QByteArray out(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(body.size()), out.data());
    return out + body;
}

QStringList Reader::feed(const QByteArray &bytes) {
    QStringList done;
    if (broken_) return done;
    buffer_.append(bytes);
    while (buffer_.size() >= 4) {
        const quint32 len = qFromBigEndian<quint32>(buffer_.constData());
        if (len > kMaxMessage) {
            broken_ = true;
            buffer_.clear();
            return done;
        }
        if (quint32(buffer_.size()) < 4 + len) break;
        done << QString::fromUtf8(buffer_.constData() + 4, len);
        buffer_.remove(0, 4 + len);
    }
    return done;
}

}  // namespace channel
