#include "session.h"

#include <QDataStream>
#include <QFile>

#include "filewriter.h"

namespace {
constexpr quint32 kMagic = 0x4F4C5353;  // "OLSS"
constexpr quint32 kFormat = 1;
constexpr int kMaxTabs = 500;
}  // namespace

QByteArray EncodeSession(const Session &session, const QString &engine) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kMagic << kFormat << engine << qint32(session.tabs.size()) << qint32(session.active);
    for (const SessionTab &t : session.tabs)
        out << t.url << t.title << t.history << qint32(t.zoom) << t.locked;
    return bytes;
}

std::optional<Session> DecodeSession(const QByteArray &bytes, const QString &engine) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, format = 0;
    QString writtenBy;
    qint32 count = 0, active = 0;
    in >> magic >> format;
    if (magic != kMagic || format != kFormat) return std::nullopt;
    in >> writtenBy >> count >> active;
    if (in.status() != QDataStream::Ok || count < 0 || count > kMaxTabs) return std::nullopt;
    Session s;
    for (int i = 0; i < count; ++i) {
        SessionTab t;
        qint32 zoom = 100;
        in >> t.url >> t.title >> t.history >> zoom >> t.locked;
        if (in.status() != QDataStream::Ok) return std::nullopt;
        t.zoom = zoom;
        if (writtenBy != engine) t.history.clear();  // another engine's stream is not read
        s.tabs << t;
    }
    if (!in.atEnd()) return std::nullopt;
    s.active = count ? qBound(0, int(active), int(count) - 1) : 0;
    return s;
}

WriteResult WriteSessionFile(const QString &path, const Session &session, const QString &engine) {
    return WriteFileWhole(path, EncodeSession(session, engine));
}

std::optional<Session> ReadSessionFile(const QString &path, const QString &engine) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return DecodeSession(f.read(64 << 20), engine);
}
