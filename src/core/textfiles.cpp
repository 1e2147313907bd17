#include "textfiles.h"

#include <QFile>
#include <QTextBoundaryFinder>

#include "core/codepage.h"

QString ReadTextFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray in = f.readAll();
    if (f.error() != QFileDevice::NoError) return {};
    QByteArray out;
    out.reserve(in.size() + in.size() / 16 + 2);
    qsizetype start = 0;
    const qsizetype n = in.size();
    while (start < n) {
        qsizetype cr = in.indexOf('\r', start);
        if (cr < 0) cr = n;
        out.append(in.constData() + start, cr - start).append("\r\n");
        start = cr + 1;
        if (cr < n && start < n && in[start] == '\n') ++start;
    }
    return codepage::decode(out);
}

QString FileNameFromUrl(const QString &url) {
    if (url.size() > 32767) return {};
    QString name = url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype q = name.indexOf(QLatin1Char('?'));
    if (q >= 0) name = name.mid(q + 1);
    if (name.contains(QLatin1Char('_'))) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));  // -1 when none
        const qsizetype cut = name.indexOf(QLatin1Char('_'), dot + 1);
        if (cut >= 0) name.truncate(cut);
    }
    return name;
}

QString WithoutBidiControls(const QString &text) {
    QString out = text;
    out.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
               (u >= 0x2066 && u <= 0x2069);
    });
    return out;
}

QString TabCaption(const QString &title) {
    const QString clean = WithoutBidiControls(title);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, clean);
    qsizetype cut = -1;
    int count = 0;
    while (graphemes.toNextBoundary() >= 0) {
        if (++count == 23) cut = graphemes.position();
        if (count > 24) return clean.left(cut) + QChar(0x2026);
    }
    return clean;
}
