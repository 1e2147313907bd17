#pragma once
// The program's ANSI code page: GB18030, a superset of GBK that can hold every
// character, so nothing typed is ever lost on the way to a file.
#include <QByteArray>
#include <QString>

namespace codepage {

QByteArray encode(const QString &text);
QString decode(QByteArrayView bytes);  // invalid bytes become U+FFFD

// Length of the longest prefix of at most maxBytes that ends on a character boundary.
qsizetype boundaryBefore(QByteArrayView bytes, qsizetype maxBytes);

}  // namespace codepage
