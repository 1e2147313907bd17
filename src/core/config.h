#pragma once
// The settings store: INI files beside the program, read and written through at
// every call, nothing cached.
#include <QString>

QString ReadIni(const QString &section, const QString &key, const QString &path);
// The same from a file already read: for many keys of one file at a time.
QString ReadIniFrom(const QByteArray &file, const QString &section, const QString &key);
QByteArray ReadFileBytes(const QString &path);  // empty when it cannot be read
// Returns false when the file could not be written (callers may ignore it).
bool WriteIni(const QString &section, const QString &key, const QString &value,
              const QString &path);

QString AppDir();
QString ReadSetting(const QString &key);
void WriteSetting(const QString &key, const QString &value);
QString ReadThemeKey(const QString &key);
void WriteThemeKey(const QString &key, const QString &value);

namespace config {

constexpr int kValueBytes = 127;  // a value read back holds at most this many bytes

// The folder with exactly one trailing '/'.
QString withTrailingSlash(const QString &dir);
// The folder of the running binary, and the template beside it when it is an installed
// program (then AppDir is the user's own folder made from it); empty when it is not.
QString binaryDir();
QString installedTemplate();
// Tests run the program's logic on a copy of the program folder.
void setAppDirOverride(const QString &dir);
QString configPath();  // AppDir + "config.ini"

// A setting read as a number: the whole text must be a number, otherwise ok = false.
double toNumber(const QString &text, bool *ok);
// A missing or non-numeric setting counts as 0.
double numberOrZero(const QString &text);
// A flag read as a number where a value that cannot be read counts as set, as the failing
// test passes ("OpenPass", "OpenNav", "MinPass", "AutoDelete").
bool oneOrUnreadable(const QString &text);
// The number at the start of the text; none gives 0.
double leadingNumber(const QString &text);
// A number as a whole int: rounded down, held at the ends of the int's range (no wrap, no
// undefined conversion), 0 for what is not a number.
int saturatedInt(double value);
// The whole number the text starts with, as saturatedInt holds it ("150%" gives 150).
int leadingInt(const QString &text);
// a + b held at the ends of the int's range.
int saturatedAdd(int a, int b);

// config.ini cannot serve as the settings: not a readable file, or no [Setting] section.
bool configDamaged(const QString &path);
// Removes what a write cut short by a kill left beside the setting files and bookmarks
// ("config.ini.AbC123"): our own temporary files, never anything else.
void removeStaleTemporaries(const QString &folder);
// A path stored with backslashes, as the setting files hold them, in this system's form.
QString localPath(const QString &stored);

}  // namespace config
