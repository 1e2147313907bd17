#include "downloadlist.h"

#include <QUrl>

#include "downloadnames.h"

namespace {

const char *const kEnds[] = {"completed", "failed", "stopped", "interrupted"};

QByteArray Field(const QString &text) {
    return QUrl::toPercentEncoding(text);
}

QString Text(const QByteArray &field) {
    return QUrl::fromPercentEncoding(field);
}

}  // namespace

QByteArray DownloadListBytes(const QList<DownloadRecord> &records) {
    QByteArray out;
    for (const DownloadRecord &r : records)
        out += QByteArray(kEnds[int(r.end)]) + '\t' + Field(r.target) + '\t' + Field(r.partial) +
               '\t' + Field(r.url) + '\t' + QByteArray::number(r.written) + '\t' +
               QByteArray::number(r.expected) + '\t' + QUrl::toPercentEncoding(r.validator) + '\t' +
               Field(r.text) + '\t' + (r.page ? '1' : '0') + '\n';
    return out;
}

QList<DownloadRecord> ParseDownloadList(const QByteArray &bytes) {
    QList<DownloadRecord> out;
    for (const QByteArray &line : bytes.split('\n')) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() != 8 && !(f.size() == 9 && (f[8] == "0" || f[8] == "1"))) continue;
        DownloadRecord r;
        int end = -1;
        for (int i = 0; i < 4; ++i)
            if (f[0] == kEnds[i]) end = i;
        bool written = false, expected = false;
        r.written = f[4].toLongLong(&written);
        r.expected = f[5].toLongLong(&expected);
        r.target = Text(f[1]);
        if (end < 0 || !written || !expected || r.written < 0 || r.target.isEmpty()) continue;
        r.end = DownloadRecord::End(end);
        r.partial = Text(f[2]);
        r.url = Text(f[3]);
        r.validator = QByteArray::fromPercentEncoding(f[6]);
        r.text = Text(f[7]);
        r.page = f.size() == 9 ? f[8] == "1" : r.partial.endsWith(QLatin1String(".download"));
        // Only lines as this program writes them: a damaged escape is no path to trust.
        if (Field(r.target) != f[1] || Field(r.partial) != f[2] || Field(r.url) != f[3] ||
            QUrl::toPercentEncoding(r.validator) != f[6] || Field(r.text) != f[7])
            continue;
        out.append(r);
    }
    return out;
}

bool TrustedRecord(const DownloadRecord &r) {
    // No partial: nothing to go on from, but the target is a plain path all the same.
    if (!IsOwnPartial(r.target, r.partial.isEmpty() ? PartialPath(r.target) : r.partial, r.page))
        return false;
    if (r.partial.isEmpty()) return r.end != DownloadRecord::End::Interrupted;
    return !FileIdentity(r.partial) || PlainFileSize(r.partial);
}
