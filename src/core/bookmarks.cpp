#include "bookmarks.h"

#include <QSaveFile>

#include "codepage.h"
#include "textfiles.h"

bool IsBookmarkPath(const QString &text) {
    return text.endsWith(QStringLiteral(".zvb"));
}

QString ReadBookmarkFile(const QString &path) {
    return ReadTextFile(path).remove(QStringLiteral("\r\n"));
}

int WriteBookmarkFile(const QString &address, const QString &path) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    const QByteArray bytes = codepage::encode(address) + "\r\n";
    if (f.write(bytes) != bytes.size()) return 1;
    return f.commit() ? 0 : 1;
}
