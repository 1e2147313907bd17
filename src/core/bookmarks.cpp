#include "bookmarks.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QByteArrayList>
#include <QFile>
#include <algorithm>

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

BookmarkListing ListBookmarkFolder(const QString &folder, qsizetype first) {
    BookmarkListing listing;
    const QByteArray path = QFile::encodeName(folder);
    DIR *dir = opendir(path.constData());
    if (!dir) return listing;
    QByteArrayList folders, files;
    while (const dirent *e = readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..") continue;
        bool isFolder = e->d_type == DT_DIR;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {  // what a link points at counts
            struct stat st {};
            isFolder = stat((path + '/' + name).constData(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (isFolder)
            folders << name;
        else if (name.endsWith(".zvb"))
            files << name;
    }
    closedir(dir);
    listing.entries = folders.size() + files.size();
    // Names are turned into text only for what is shown; bytes of UTF-8 sort as characters.
    auto firstInOrder = [](QByteArrayList &names, qsizetype n, QStringList &out, int chop) {
        n = std::clamp<qsizetype>(n, 0, names.size());
        std::partial_sort(names.begin(), names.begin() + n, names.end());
        for (qsizetype i = 0; i < n; ++i) out << QFile::decodeName(names[i].chopped(chop));
    };
    firstInOrder(folders, first, listing.folders, 0);
    firstInOrder(files, first - listing.folders.size(), listing.files, 4);
    return listing;
}
