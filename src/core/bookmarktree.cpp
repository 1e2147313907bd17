#include "bookmarktree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>

#include "bookmarks.h"

namespace {

// Deeper than any real bookmark tree; a hostile file goes no further.
constexpr int kMaxDepth = 64;

QString DecodeEntities(const QString &text) {
    if (!text.contains(u'&')) return text;
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9a-fA-F]+|#[0-9]+|[a-zA-Z]+);"));
    QString out;
    qsizetype at = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += QStringView(text).mid(at, m.capturedStart() - at);
        at = m.capturedEnd();
        const QString name = m.captured(1);
        char32_t code = 0;
        bool ok = false;
        if (name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive))
            code = name.mid(2).toUInt(&ok, 16);
        else if (name.startsWith(u'#'))
            code = name.mid(1).toUInt(&ok, 10);
        else if (name == QLatin1String("amp"))
            code = '&', ok = true;
        else if (name == QLatin1String("lt"))
            code = '<', ok = true;
        else if (name == QLatin1String("gt"))
            code = '>', ok = true;
        else if (name == QLatin1String("quot"))
            code = '"', ok = true;
        else if (name == QLatin1String("apos"))
            code = '\'', ok = true;
        else if (name == QLatin1String("nbsp"))
            code = 0xA0, ok = true;
        if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
            out += QString::fromUcs4(&code, 1);
        else
            out += m.captured(0);
    }
    out += QStringView(text).mid(at);
    return out;
}

QString Escaped(const QString &text) {
    return text.toHtmlEscaped();
}

void WriteFolder(const BookmarkFolder &folder, int depth, QByteArray &out) {
    const QByteArray indent(4 * depth, ' ');
    for (const BookmarkFolder &sub : folder.folders) {
        out += indent + "<DT><H3>" + Escaped(sub.name).toUtf8() + "</H3>\n";
        out += indent + "<DL><p>\n";
        WriteFolder(sub, depth + 1, out);
        out += indent + "</DL><p>\n";
    }
    for (const BookmarkEntry &b : folder.bookmarks)
        out += indent + "<DT><A HREF=\"" + Escaped(b.url).toUtf8() + "\">" +
               Escaped(b.name).toUtf8() + "</A>\n";
}

BookmarkFolder ChromiumFolder(const QJsonObject &node, int depth) {
    BookmarkFolder folder;
    folder.name = node.value(QLatin1String("name")).toString();
    if (depth > kMaxDepth) return folder;
    for (const QJsonValue &v : node.value(QLatin1String("children")).toArray()) {
        const QJsonObject child = v.toObject();
        const QString type = child.value(QLatin1String("type")).toString();
        const QString url = child.value(QLatin1String("url")).toString().trimmed();
        if (type == QLatin1String("url") && !url.isEmpty())  // nothing to open: no bookmark
            folder.bookmarks.append({child.value(QLatin1String("name")).toString(), url});
        else if (type == QLatin1String("folder"))
            folder.folders.append(ChromiumFolder(child, depth + 1));
    }
    return folder;
}

BookmarkFolder ReadFolder(const QString &path, int depth) {
    BookmarkFolder folder;
    folder.name = QFileInfo(path).fileName();
    if (depth > kMaxDepth) return folder;
    const QDir dir(path);
    // Links are not followed: a link to a folder above would never end.
    for (const QFileInfo &sub :
         dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name))
        folder.folders.append(ReadFolder(sub.filePath(), depth + 1));
    for (const QFileInfo &file : dir.entryInfoList(QDir::Files, QDir::Name))
        if (IsBookmarkPath(file.fileName()))
            folder.bookmarks.append(
                {file.fileName().chopped(4), ReadBookmarkFile(file.filePath())});
    return folder;
}

void FlattenInto(const BookmarkFolder &folder, const QStringList &path,
                 QList<PlacedBookmark> &out) {
    for (const BookmarkFolder &sub : folder.folders)
        FlattenInto(sub, path + QStringList{sub.name}, out);
    for (const BookmarkEntry &b : folder.bookmarks) out.append({path, b});
}

// A folder made for an import is the user's alone, as the bookmarks in it are.
bool MakeFolder(const QString &path) {
    if (QFileInfo(path).isDir()) return true;
    if (!QDir().mkpath(path)) return false;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return true;
}

}  // namespace

int BookmarkFolder::count() const {
    int n = int(bookmarks.size());
    for (const BookmarkFolder &f : folders) n += f.count();
    return n;
}

QList<PlacedBookmark> Flatten(const BookmarkFolder &root) {
    QList<PlacedBookmark> out;
    FlattenInto(root, {}, out);
    return out;
}

BookmarkFolder ParseBookmarkHtml(const QByteArray &html) {
    static const QRegularExpression tag(QStringLiteral("<(/?)([A-Za-z0-9]+)([^>]*)>"));
    static const QRegularExpression href(
        QStringLiteral("\\bHREF\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromUtf8(html);
    // The open folders, the outermost first; a <DL> after an <H3> opens that folder.
    QList<BookmarkFolder> open;
    std::optional<QString> heading;  // the <H3> met and not yet opened
    QString capture, link;
    enum { None, Heading, Link } capturing = None;
    auto close = [&open] {
        BookmarkFolder done = open.takeLast();
        open.last().folders.append(std::move(done));
    };
    auto endLink = [&] {
        if (!open.isEmpty() && !link.trimmed().isEmpty())
            open.last().bookmarks.append({DecodeEntities(capture).trimmed(), link.trimmed()});
        capturing = None;
    };
    qsizetype at = 0;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        if (capturing != None) capture += QStringView(text).mid(at, m.capturedStart() - at);
        at = m.capturedEnd();
        const bool ending = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toUpper();
        // A link left open ends where the next entry or list begins.
        static const QStringList entries{"DT", "DD", "DL", "H3", "A"};
        if (capturing == Link && !(ending && name == QLatin1String("A")) && entries.contains(name))
            endLink();
        if (name == QLatin1String("H3") && !ending) {
            capturing = Heading, capture.clear();
        } else if (name == QLatin1String("H3") && capturing == Heading) {
            heading = DecodeEntities(capture).trimmed();
            capturing = None;
        } else if (name == QLatin1String("A") && !ending) {
            const auto h = href.match(m.captured(3));
            link = h.hasMatch() ? DecodeEntities(h.captured(1) + h.captured(2) + h.captured(3))
                                : QString();
            capturing = Link, capture.clear();
        } else if (name == QLatin1String("A") && capturing == Link) {
            endLink();
        } else if (name == QLatin1String("DL") && !ending) {
            if (open.size() > 2 * kMaxDepth) continue;  // deeper than any tree written here
            BookmarkFolder f;
            f.name = heading.value_or(QString());
            open.append(f);
            heading.reset();
        } else if (name == QLatin1String("DL") && ending && open.size() > 1) {
            close();
        }
    }
    if (capturing == Link) {
        capture += QStringView(text).mid(at);
        endLink();
    }
    while (open.size() > 1) close();  // a file cut short keeps what it holds
    return open.isEmpty() ? BookmarkFolder{} : open.first();
}

QByteArray BookmarkHtml(const BookmarkFolder &root) {
    QByteArray out =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<!-- This is an automatically generated file.\n"
        "     It will be read and overwritten.\n"
        "     DO NOT EDIT! -->\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
        "<TITLE>Bookmarks</TITLE>\n"
        "<H1>Bookmarks</H1>\n"
        "<DL><p>\n";
    WriteFolder(root, 1, out);
    return out + "</DL><p>\n";
}

std::optional<BookmarkFolder> ParseChromiumBookmarks(const QByteArray &json) {
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    // A damaged character spoils only its own name: read with it replaced.
    if (error.error == QJsonParseError::IllegalUTF8String)
        doc = QJsonDocument::fromJson(QString::fromUtf8(json).toUtf8());
    const QJsonObject roots = doc.object().value(QLatin1String("roots")).toObject();
    if (roots.isEmpty()) return std::nullopt;
    BookmarkFolder root;
    // Chromium's own names when a root has none: 书签栏, 其他书签, 移动设备书签.
    const std::pair<const char *, const char *> known[] = {
        {"bookmark_bar", "书签栏"}, {"other", "其他书签"}, {"synced", "移动设备书签"}};
    for (const auto &[key, fallback] : known) {
        const QJsonObject node = roots.value(QLatin1String(key)).toObject();
        if (node.isEmpty()) continue;
        BookmarkFolder f = ChromiumFolder(node, 1);
        if (f.name.isEmpty()) f.name = QString::fromUtf8(fallback);
        if (f.count() > 0) root.folders.append(std::move(f));
    }
    return root;
}

BookmarkFolder ReadBookmarkFolder(const QString &folder) {
    return ReadFolder(folder, 0);
}

bool ImportableAddress(const QString &url) {
    for (const QChar c : url)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return false;
    const QString scheme = QUrl(url).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ftp") || scheme == QLatin1String("file");
}

QString ImportedName(const QString &name, int reserveBytes) {
    QString safe = BookmarkFileName(name).chopped(4);
    if (safe == QLatin1String(".") || safe == QLatin1String("..")) safe.fill(u'_');
    while (safe.toUtf8().size() + reserveBytes > 255) {
        safe.chop(1);
        if (!safe.isEmpty() && safe.back().isHighSurrogate()) safe.chop(1);
    }
    return safe;
}

BookmarkWritten WriteImportedBookmark(const QString &base, const PlacedBookmark &bookmark,
                                      QString *error, QString *file) {
    const QString url = bookmark.entry.url;
    if (!ImportableAddress(url)) return BookmarkWritten::Unsupported;
    QString dir = base;
    for (const QString &folder : bookmark.folders) {
        const QString n = ImportedName(folder);
        dir += u'/' + (n.trimmed().isEmpty() ? QStringLiteral("未命名") : n);
    }
    if (!MakeFolder(dir)) {
        if (error) *error = QStringLiteral("无法创建文件夹");
        return BookmarkWritten::Failed;
    }
    const QString given = bookmark.entry.name.trimmed().isEmpty() ? url : bookmark.entry.name;
    // Room for ".zvb" and a number: a name reads the same whichever it gets.
    const QString name = ImportedName(given, 9);
    for (int n = 0; n < 1000; ++n) {
        const QString path =
            dir + u'/' + name + (n ? QStringLiteral("(%1)").arg(n) : QString()) + ".zvb";
        if (file) *file = path;
        if (!QFileInfo::exists(path))
            return WriteBookmarkFile(url, path, error) == 0 ? BookmarkWritten::Added
                                                            : BookmarkWritten::Failed;
        if (ReadBookmarkFile(path) == url) return BookmarkWritten::Present;
    }
    if (error) *error = QStringLiteral("同名书签过多");
    return BookmarkWritten::Failed;
}
