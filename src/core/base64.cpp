#include "base64.h"

#include "codepage.h"

QString Base64Encode(const QString &text) {
    return QString::fromLatin1(codepage::encode(text).toBase64());
}

int CharCodeOrZero(const QString &text) {
    if (text.isEmpty()) return 0;
    const qsizetype len = text.at(0).isHighSurrogate() && text.size() > 1 ? 2 : 1;
    const QByteArray b = codepage::encode(text.left(len));
    if (b.isEmpty()) return 0;
    if (b.size() == 1) return uchar(b[0]);
    // Double-byte characters read as one signed 16-bit value, lead byte first.
    return qint16((uchar(b[0]) << 8) | uchar(b[1]));
}

bool PasswordMatches(const QString &typed, const QString &stored) {
    return Base64Encode(typed) == stored;
}
