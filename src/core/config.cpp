#include "config.h"
#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <cmath>
#include <limits>

#include "codepage.h"
#include "inifile.h"

namespace {

QString g_appDirOverride;

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

QString ReadIniFrom(const QByteArray &file, const QString &section, const QString &key) {
    QByteArray v = ini::readValue(file, codepage::encode(section), codepage::encode(key));
    const qsizetype nul = v.indexOf('\0');
    if (nul >= 0) v.truncate(nul);
    // A file saved as utf-8 with a byte-order mark is read in utf-8.
    if (isUtf8File(file)) {
        v.truncate(codepage::utf8BoundaryBefore(v, config::kValueBytes));
        return QString::fromUtf8(v);
    }
    v.truncate(codepage::boundaryBefore(v, config::kValueBytes));
    return codepage::decode(v);
}

bool WriteIni(const QString &section, const QString &key, const QString &value,
              const QString &path) {
    const QFileInfo info(path);
    if (!info.dir().exists()) return false;
    // A file made read-only stays as it is, even for a user whose rights would let the
    // rename below replace it.
    if (info.exists() && (!info.isWritable() || !(info.permissions() & QFile::WriteOwner)))
        return false;
    QFile in(path);
    QByteArray file;
    if (info.exists()) {
        if (!in.open(QIODevice::ReadOnly)) return false;
        file = in.readAll();
        in.close();
    }
    // A line break in a value would start a line of its own.
    QString clean = value;
    clean.remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const bool utf8 = isUtf8File(file);
    auto enc = [utf8](const QString &s) { return utf8 ? s.toUtf8() : codepage::encode(s); };
    const QByteArray out = ini::writeValue(file, enc(section), enc(key), enc(clean));

    QSaveFile save(path);
    if (!save.open(QIODevice::WriteOnly)) return false;
    if (save.write(out) != out.size()) {
        save.cancelWriting();
        return false;
    }
    return save.commit();
}

QString AppDir() {
    if (!g_appDirOverride.isEmpty()) return g_appDirOverride;
    // The binary does not move while it runs: decided once.
    static const QString dir = [] {
        const QString template_ = config::installedTemplate();
        if (!template_.isEmpty()) return programfolder::UserFolder();
        const QString binary = config::binaryDir();
        return config::withTrailingSlash(binary.isEmpty() ? QStringLiteral("/") : binary);
    }();
    return dir;
}

QString ReadSetting(const QString &key) {
    return ReadIni("Setting", key, config::configPath());
}
void WriteSetting(const QString &key, const QString &value) {
    WriteIni("Setting", key, value, config::configPath());
}
QString ReadThemeKey(const QString &key) {
    return ReadIni("Theme", key, config::configPath());
}
void WriteThemeKey(const QString &key, const QString &value) {
    WriteIni("Theme", key, value, config::configPath());
}

namespace config {

QString withTrailingSlash(const QString &dir) {
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

QString binaryDir() {
    // Before the application object exists (the hand-off runs that early) ask the system.
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                        : QFileInfo(QStringLiteral("/proc/self/exe"))
                                              .canonicalFilePath()
                                              .section(QLatin1Char('/'), 0, -2);
}

QString installedTemplate() {
    static const QString found = programfolder::InstalledTemplate(binaryDir());
    return found;
}

void setAppDirOverride(const QString &dir) {
    g_appDirOverride = dir.isEmpty() ? QString() : withTrailingSlash(dir);
}

QString configPath() {
    return AppDir() + QStringLiteral("config.ini");
}

double toNumber(const QString &text, bool *ok) {
    const QString t = text.trimmed();
    bool good = false;
    double v = t.toDouble(&good);
    if (ok) *ok = good;
    return good ? v : 0.0;
}

double numberOrZero(const QString &text) {
    return toNumber(text, nullptr);
}

bool oneOrUnreadable(const QString &text) {
    bool ok = false;
    const double v = toNumber(text, &ok);
    return !ok || v == 1;
}

double leadingNumber(const QString &text) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const auto m = re.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}

int saturatedInt(double value) {
    if (std::isnan(value)) return 0;
    const double v = std::floor(value);
    if (v <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (v >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return int(v);
}

int leadingInt(const QString &text) {
    return saturatedInt(leadingNumber(text));
}

int saturatedAdd(int a, int b) {
    return saturatedInt(double(a) + double(b));
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
    // QSaveFile writes "<name>.XXXXXX" beside the file and renames it into place.
    static const QRegularExpression ours(QStringLiteral("\\.(ini|zvb)\\.[A-Za-z0-9]{6}$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QDir dir(folder);
    for (const QFileInfo &f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks))
        if (ours.match(f.fileName()).hasMatch()) QFile::remove(f.absoluteFilePath());
}

QString localPath(const QString &stored) {
    QString p = stored;
    return p.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

}  // namespace config
