#pragma once
// The settings store: INI files beside the program, read and written through at every
// call, nothing cached. A write never leaves a torn file.
#include <QString>

#include "filewriter.h"

QString ReadIni(const QString &section, const QString &key, const QString &path);
// The same from a file already read: for many keys of one file at a time.
QString ReadIniFrom(const QByteArray &file, const QString &section, const QString &key);
// Whether the file has the key at all (an empty value counts; a missing key does not).
bool IniHasKey(const QByteArray &file, const QString &section, const QString &key);
QByteArray ReadFileBytes(const QString &path);  // empty when it cannot be read
// Says why when the file could not be written; the file is then as it was.
WriteResult WriteIni(const QString &section, const QString &key, const QString &value,
                     const QString &path);

// config.ini's sections [Setting] and [Theme]: the one way to them. The settings table
// (settings.h) reads and writes every key through these.
QString ReadSetting(const QString &key);
WriteResult WriteSetting(const QString &key, const QString &value);
QString ReadThemeKey(const QString &key);
WriteResult WriteThemeKey(const QString &key, const QString &value);

namespace config {

constexpr int kValueBytes = 127;  // a value read back holds at most this many bytes

// config.ini cannot serve as the settings: not a readable file, or no [Setting] section.
bool configDamaged(const QString &path);
// Where a damaged file is kept beside itself: "<path>.damaged", or "<path>.damaged.<n>" when
// that is taken, never over an earlier one.
QString damagedName(const QString &path);
// Removes what a write cut short by a kill left beside the setting files and bookmarks
// ("config.ini.AbC123"): our own temporary files, never anything else.
void removeStaleTemporaries(const QString &folder);

}  // namespace config
