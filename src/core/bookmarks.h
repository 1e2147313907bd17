#pragma once
// A bookmark is one file "<name>.zvb" in the bookmark folder holding the address.
#include <QString>

bool IsBookmarkPath(const QString &text);  // ends in ".zvb" exactly
QString ReadBookmarkFile(const QString &path);
// 0 on success, 1 on failure, with the reason in error when asked for.
int WriteBookmarkFile(const QString &address, const QString &path, QString *error = nullptr);
// The file name of a bookmark: the name as typed and ".zvb", except that a path separator or
// a control character, which would write elsewhere or not at all, becomes "_".
QString BookmarkFileName(const QString &name);
