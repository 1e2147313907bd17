#pragma once
// A bookmark is one file "<name>.zvb" in the bookmark folder holding the address.
#include <QString>
#include <QStringList>

bool IsBookmarkPath(const QString &text);  // ends in ".zvb" exactly
QString ReadBookmarkFile(const QString &path);
// 0 on success, 1 on failure, with the reason in error when asked for.
int WriteBookmarkFile(const QString &address, const QString &path, QString *error = nullptr);
// The file name of a bookmark: the name as typed and ".zvb", except that a path separator or
// a control character, which would write elsewhere or not at all, becomes "_".
QString BookmarkFileName(const QString &name);

// A bookmark folder as a menu shows it: the first `first` entries in order, its subfolders
// before its ".zvb" files, and how many there are in all. Read name by name, without a look
// at each file: a folder of 100,000 bookmarks lists in a few tens of milliseconds.
struct BookmarkListing {
    QStringList folders, files;  // the files without ".zvb"
    qsizetype entries = 0;
};
BookmarkListing ListBookmarkFolder(const QString &folder, qsizetype first);
