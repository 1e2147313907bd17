#include "downloadnames.h"

#include <QDir>
#include <QFile>
#include <QStringConverter>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "textfiles.h"

namespace {

// The header's parameters, split at ";" outside quotes: name (lower case) and raw value.
QList<QPair<QByteArray, QByteArray>> parameters(const QByteArray &header) {
    QList<QPair<QByteArray, QByteArray>> out;
    QByteArray part;
    bool quoted = false;
    auto flush = [&] {
        const qsizetype eq = part.indexOf('=');
        if (eq > 0) out.append({part.left(eq).trimmed().toLower(), part.mid(eq + 1).trimmed()});
        part.clear();
    };
    for (qsizetype i = 0; i < header.size(); ++i) {
        const char c = header[i];
        if (c == '"') quoted = !quoted;
        if (c == '\\' && quoted && i + 1 < header.size()) {
            part += c;
            part += header[++i];
            continue;
        }
        if (c == ';' && !quoted)
            flush();
        else
            part += c;
    }
    flush();
    return out;
}

QByteArray unquote(const QByteArray &v) {
    if (v.size() < 2 || !v.startsWith('"') || !v.endsWith('"')) return v;
    QByteArray out;
    for (qsizetype i = 1; i + 1 < v.size(); ++i) {
        if (v[i] == '\\' && i + 2 < v.size()) ++i;
        out += v[i];
    }
    return out;
}

// Bytes as UTF-8 when they are valid UTF-8, else as Latin-1 (what old servers send).
QString decodeBytes(const QByteArray &bytes) {
    auto utf8 = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// RFC 5987: charset'language'percent-encoded.
QString extendedValue(const QByteArray &v) {
    const QList<QByteArray> parts = v.split('\'');
    if (parts.size() != 3) return {};
    const QByteArray bytes = QByteArray::fromPercentEncoding(parts[2]);
    const QByteArray charset = parts[0].toLower();
    if (charset == "utf-8") return decodeBytes(bytes);
    if (charset == "iso-8859-1") return QString::fromLatin1(bytes);
    return {};
}

}  // namespace

QString ContentDispositionName(const QByteArray &header) {
    QString plain, extended;
    for (const auto &[name, value] : parameters(header)) {
        if (name == "filename*" && extended.isEmpty()) extended = extendedValue(value);
        if (name == "filename" && plain.isEmpty()) {
            const QByteArray raw = unquote(value);
            // Some servers percent-encode the plain name; browsers decode it when it is UTF-8.
            plain = decodeBytes(raw.contains('%') ? QByteArray::fromPercentEncoding(raw) : raw);
        }
    }
    return extended.isEmpty() ? plain : extended;
}

QString SafeFileName(const QString &name) {
    QString n = name.mid(qMax(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\')) + 1);
    n.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    auto trimmable = [](QChar c) { return c == u'.' || c.isSpace(); };
    qsizetype first = 0, last = n.size();
    while (first < last && trimmable(n[first])) ++first;
    while (last > first && trimmable(n[last - 1])) --last;
    return FittedFileName(n.mid(first, last - first));
}

QString FittedFileName(const QString &n) {
    if (n.toUtf8().size() <= kMaxNameBytes) return n;
    const qsizetype dot = n.lastIndexOf(u'.');
    QString ext = dot > 0 && n.size() - dot <= 16 ? n.mid(dot) : QString();
    QString stem = n.left(n.size() - ext.size());
    while (!stem.isEmpty() && (stem + ext).toUtf8().size() > kMaxNameBytes) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate()) stem.chop(1);
    }
    return stem + ext;
}

QString ProposedFileName(const QString &suggested, const QString &url) {
    QString name = SafeFileName(suggested);
    if (name.isEmpty()) name = SafeFileName(FileNameFromUrl(url));
    return name.isEmpty() ? QStringLiteral("未命名文件") : name;
}

QString FittedPath(const QString &path) {
    const qsizetype slash = path.lastIndexOf(u'/') + 1;
    return path.left(slash) + FittedFileName(path.mid(slash));
}

QString PartialPath(const QString &target) {
    return target + QStringLiteral(".part");
}

bool IsOwnPartial(const QString &target, const QString &partial, bool page) {
    if (!QDir::isAbsolutePath(target) || QDir::cleanPath(target) != target ||
        target.endsWith(u'/') || !partial.startsWith(target + u'.'))
        return false;
    QString rest = partial.mid(target.size() + 1);  // "part", "3.part", "download" …
    const QString suffix = rest.section(u'.', -1);
    if (suffix != QLatin1String("part") && !(page && suffix == QLatin1String("download")))
        return false;
    rest.chop(suffix.size());
    if (rest.isEmpty()) return true;
    // The numbers the claims hand out: 1 to 99, as written.
    bool number = false;
    const int n = rest.chopped(1).toInt(&number);
    return number && rest.endsWith(u'.') && n >= 1 && n < 100 &&
           rest.chopped(1) == QString::number(n);
}

std::optional<qint64> PlainFileSize(const QString &path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return qint64(st.st_size);
}

std::optional<std::pair<quint64, quint64>> FileIdentity(const QString &path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
    return std::pair<quint64, quint64>(st.st_dev, st.st_ino);
}

bool ReplaceFile(const QString &from, const QString &to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool MoveToFreeName(const QString &from, const QString &to) {
    const QByteArray a = QFile::encodeName(from), b = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without that rename: a hard link is refused as well where a name is taken.
    if (::link(a.constData(), b.constData()) != 0) return false;
    ::unlink(a.constData());
    return true;
}

std::pair<QString, QString> SplitExtension(const QString &fileName) {
    for (const char *two : {".tar.gz", ".tar.xz", ".tar.bz2", ".tar.zst", ".tar.lz", ".tar.Z"})
        if (fileName.size() > int(strlen(two)) &&
            fileName.endsWith(QLatin1String(two), Qt::CaseInsensitive))
            return {fileName.chopped(strlen(two)), fileName.right(strlen(two))};
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) return {fileName, QString()};  // ".bashrc" is a name, not an extension
    return {fileName.left(dot), fileName.mid(dot)};
}
