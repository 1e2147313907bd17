#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace codepage {

QByteArray encode(const QString &text) {
    // A surrogate without its partner is no character: it becomes the code page's "?"
    // instead of vanishing.
    QString clean = text;
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const QChar c = clean[i];
        if (c.isHighSurrogate() && i + 1 < clean.size() && clean[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            clean[i] = u'?';
    }
    QStringEncoder enc("GB18030");
    return enc.encode(clean);
}

QString decode(QByteArrayView bytes) {
    QStringDecoder dec("GB18030");
    return dec.decode(bytes);
}

qsizetype boundaryBefore(QByteArrayView b, qsizetype maxBytes) {
    qsizetype i = 0, last = 0;
    const qsizetype n = b.size();
    while (i < n) {
        const auto c = uchar(b[i]);
        qsizetype len = 1;
        if (c >= 0x81 && c <= 0xFE && i + 1 < n) {
            const auto c2 = uchar(b[i + 1]);
            if (c2 >= 0x30 && c2 <= 0x39)
                len = i + 3 < n ? 4 : n - i;  // four-byte sequence
            else
                len = 2;
        }
        if (i + len > maxBytes) break;
        i += len;
        last = i;
    }
    return last;
}

}  // namespace codepage
