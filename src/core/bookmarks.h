#pragma once
// A bookmark is one file "<name>.zvb" in the bookmark folder holding the address.
#include <QString>

bool IsBookmarkPath(const QString &text);  // ends in ".zvb" exactly
QString ReadBookmarkFile(const QString &path);
// 0 on success, 1 on failure.
int WriteBookmarkFile(const QString &address, const QString &path);
