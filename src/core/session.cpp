#include "session.h"

#include <QDataStream>
#include <QFile>
#include <algorithm>

#include "filewriter.h"

namespace {
constexpr quint32 kMagic = 0x4F4C5353;  // "OLSS"
// 1: without the offered tabs; 2: without the icons, which 3 adds after the rest.
constexpr quint32 kFormat = 3;
// More than anyone keeps open; a longer list is written cut to it, so the file always reads.
constexpr int kMaxTabs = 5000;
}  // namespace

QByteArray EncodeSession(const Session &session, const QString &engine) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    auto put = [&](const QList<SessionTab> &tabs) {
        const QList<SessionTab> kept = tabs.mid(0, kMaxTabs);
        out << qint32(kept.size());
        if (&tabs == &session.tabs) out << qint32(qMin(session.active, kMaxTabs - 1));
        for (const SessionTab &t : kept)
            out << t.url << t.title << t.history << qint32(t.zoom) << t.locked;
    };
    const QList<SessionTab> all = session.tabs.mid(0, kMaxTabs) + session.offered.mid(0, kMaxTabs);
    // Without an icon the file is as before: an earlier version still reads it.
    const bool icons =
        std::any_of(all.begin(), all.end(), [](const SessionTab &t) { return !t.icon.isEmpty(); });
    out << kMagic << (icons ? kFormat : quint32(2)) << engine;
    put(session.tabs);
    put(session.offered);
    if (icons)
        for (const SessionTab &t : all) out << t.icon;
    return bytes;
}

std::optional<Session> DecodeSession(const QByteArray &bytes, const QString &engine) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, format = 0;
    QString writtenBy;
    qint32 count = 0, active = 0;
    in >> magic >> format;
    if (magic != kMagic || format < 1 || format > kFormat) return std::nullopt;
    in >> writtenBy >> count >> active;
    auto take = [&](qint32 n, QList<SessionTab> &tabs) {
        if (in.status() != QDataStream::Ok || n < 0 || n > kMaxTabs) return false;
        for (int i = 0; i < n; ++i) {
            SessionTab t;
            qint32 zoom = 100;
            in >> t.url >> t.title >> t.history >> zoom >> t.locked;
            if (in.status() != QDataStream::Ok) return false;
            t.zoom = zoom;
            if (writtenBy != engine) t.history.clear();  // another engine's stream is not read
            tabs << t;
        }
        return true;
    };
    Session s;
    if (!take(count, s.tabs)) return std::nullopt;
    qint32 offered = 0;
    if (format > 1) in >> offered;
    if (!take(offered, s.offered)) return std::nullopt;
    if (format > 2)
        for (QList<SessionTab> *tabs : {&s.tabs, &s.offered})
            for (SessionTab &t : *tabs) in >> t.icon;
    if (in.status() != QDataStream::Ok || !in.atEnd()) return std::nullopt;
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
