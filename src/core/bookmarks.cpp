#include "bookmarks.h"

#include "codepage.h"
#include "filewriter.h"
#include "textfiles.h"

bool IsBookmarkPath(const QString &text) {
    return text.endsWith(QStringLiteral(".zvb"));
}

QString ReadBookmarkFile(const QString &path) {
    return ReadTextFile(path).remove(QStringLiteral("\r\n"));
}

int WriteBookmarkFile(const QString &address, const QString &path, QString *error) {
    const WriteResult written = WriteFileWhole(path, codepage::encode(address) + "\r\n");
    if (written) return 0;
    if (error) *error = written.error;
    return 1;
}

QString BookmarkFileName(const QString &name) {
    QString safe = name;
    for (QChar &c : safe)
        if (c == QLatin1Char('/') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char('_');
    return safe + QStringLiteral(".zvb");
}
