#include "store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include "codepage.h"
#include "filewriter.h"
#include "inifile.h"
#include "programfolder.h"

namespace {

bool isUtf8File(QByteArrayView bytes) {
    return bytes.startsWith("\xEF\xBB\xBF");
}

}  // namespace

QByteArray ReadFileBytes(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QString ReadIni(const QString &section, const QString &key, const QString &path) {
    return ReadIniFrom(ReadFileBytes(path), section, key);
}

namespace {
// Names as the file spells them: UTF-8 in a file with the byte-order mark, else the code page.
QByteArray inFile(const QString &text, bool utf8) {
    return utf8 ? text.toUtf8() : codepage::encode(text);
}
}  // namespace

QString ReadIniFrom(const QByteArray &file, const QString &section, const QString &key) {
    const bool utf8 = isUtf8File(file);
    QByteArray v = ini::readValue(file, inFile(section, utf8), inFile(key, utf8));
    const qsizetype nul = v.indexOf('\0');
    if (nul >= 0) v.truncate(nul);
    // The value's length counts in the code page's bytes whichever encoding the file has, so
    // it reads the same in both (the code page holds every character).
    if (utf8) v = codepage::encode(QString::fromUtf8(v));
    v.truncate(codepage::boundaryBefore(v, config::kValueBytes));
    return codepage::decode(v);
}

bool IniHasKey(const QByteArray &file, const QString &section, const QString &key) {
    const bool utf8 = isUtf8File(file);
    return !ini::readValue(file, inFile(section, utf8), inFile(key, utf8)).isNull();
}

WriteResult WriteIni(const QString &section, const QString &key, const QString &value,
                     const QString &path) {
    const QFileInfo info(path);
    if (!info.dir().exists()) return {WriteErrorText(ENOENT)};
    QByteArray file;
    if (info.exists()) {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly)) return {WriteErrorText(EACCES)};
        file = in.readAll();
    }
    // A line break in a value would start a line of its own.
    QString clean = value;
    clean.remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const bool utf8 = isUtf8File(file);
    return WriteFileWhole(
        path, ini::writeValue(file, inFile(section, utf8), inFile(key, utf8), inFile(clean, utf8)));
}

QString ReadSetting(const QString &key) {
    return ReadIni("Setting", key, config::configPath());
}

WriteResult WriteSetting(const QString &key, const QString &value) {
    return WriteIni("Setting", key, value, config::configPath());
}

QString ReadThemeKey(const QString &key) {
    return ReadIni("Theme", key, config::configPath());
}

WriteResult WriteThemeKey(const QString &key, const QString &value) {
    return WriteIni("Theme", key, value, config::configPath());
}

namespace config {

QString damagedName(const QString &path) {
    QString aside = path + QStringLiteral(".damaged");
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".damaged.%1").arg(n);
    return aside;
}

bool configDamaged(const QString &path) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) return true;
    static const QRegularExpression section(
        QStringLiteral("^\\s*\\[\\s*setting\\s*\\]"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    // The section name is ASCII in every code page the file may be written in.
    QByteArray bytes = ReadFileBytes(path);
    if (isUtf8File(bytes)) bytes.remove(0, 3);
    return !QString::fromLatin1(bytes).contains(section);
}

void removeStaleTemporaries(const QString &folder) {
    // Ours "<name>.olw-<letters>", and the "<name>.XXXXXX" of earlier versions.
    static const QRegularExpression ours(
        QStringLiteral("(\\.olw-[a-z0-9]+|\\.(ini|zvb)\\.[A-Za-z0-9]{6})$"),
        QRegularExpression::CaseInsensitiveOption);
    const QDir dir(folder);
    for (const QFileInfo &f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks))
        if (ours.match(f.fileName()).hasMatch()) QFile::remove(f.absoluteFilePath());
}

}  // namespace config
