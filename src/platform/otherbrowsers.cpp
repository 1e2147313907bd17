#include "otherbrowsers.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include "core/store.h"

namespace {

// Chromium counts microseconds from 1601, Firefox from 1970.
constexpr qint64 kChromiumEpochMs = 11644473600000LL;

QSqlQuery Query(const QString &connection, const QString &sql, const QVariantList &args) {
    QSqlQuery q(QSqlDatabase::database(connection, false));
    if (!q.prepare(sql)) return q;  // its error says why (a file that is no database)
    for (const QVariant &a : args) q.addBindValue(a);
    q.exec();
    return q;
}

QString Why(const QSqlError &e) {
    const int code = e.nativeErrorCode().toInt() & 0xFF;
    if (code == 11 || code == 26) return QStringLiteral("文件已损坏");
    if (code == 1) return QStringLiteral("不是可识别的格式");
    return e.text().isEmpty() ? QStringLiteral("无法读取") : e.text();
}

// The profiles of one browser of the Chromium family: every folder with its files, by the
// names the browser shows ("Local State").
void ChromiumProfiles(const QString &root, const QString &browser, QList<BrowserProfile> &out) {
    const QJsonObject names = QJsonDocument::fromJson(ReadFileBytes(root + "/Local State"))
                                  .object()
                                  .value(QLatin1String("profile"))
                                  .toObject()
                                  .value(QLatin1String("info_cache"))
                                  .toObject();
    QStringList dirs = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    if (dirs.removeAll(QStringLiteral("Default"))) dirs.prepend(QStringLiteral("Default"));
    for (const QString &dir : dirs) {
        const QString folder = root + u'/' + dir;
        if (!QFileInfo::exists(folder + "/Bookmarks") && !QFileInfo::exists(folder + "/History"))
            continue;
        const QString shown = names.value(dir).toObject().value(QLatin1String("name")).toString();
        out.append({BrowserProfile::Chromium, browser, shown.isEmpty() ? dir : shown, folder});
    }
}

// Firefox's profiles.ini: a [ProfileN] section per profile, its Path relative or not.
void FirefoxProfiles(const QString &root, QList<BrowserProfile> &out) {
    const QString ini = QString::fromUtf8(ReadFileBytes(root + "/profiles.ini"));
    struct Entry {
        QString name, path;
        bool relative = true;
    };
    QList<Entry> entries;
    bool inProfile = false;
    for (const QString &raw : ini.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            inProfile = line.startsWith(QLatin1String("[Profile"));
            if (inProfile) entries.append(Entry{});
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inProfile || eq < 0) continue;
        const QString key = line.left(eq).trimmed(), value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Name")) entries.last().name = value;
        if (key == QLatin1String("Path")) entries.last().path = value;
        if (key == QLatin1String("IsRelative")) entries.last().relative = value != u'0';
    }
    for (const Entry &e : entries) {
        if (e.path.isEmpty()) continue;
        const QString folder =
            QFileInfo(e.relative ? root + u'/' + e.path : e.path).canonicalFilePath();
        // One profile reached from two places (a link, an absolute path) is listed once.
        if (!QFileInfo::exists(folder + "/places.sqlite") ||
            std::any_of(out.cbegin(), out.cend(),
                        [&](const BrowserProfile &p) { return p.folder == folder; }))
            continue;
        out.append({BrowserProfile::Firefox, QStringLiteral("Firefox"),
                    e.name.isEmpty() ? QFileInfo(folder).fileName() : e.name, folder});
    }
}

struct FirefoxItem {
    qint64 id;
    int type;  // 1 a bookmark, 2 a folder
    QString title, url, guid;
};

BookmarkFolder FirefoxFolder(const QHash<qint64, QList<FirefoxItem>> &children, qint64 id,
                             const QString &name, int depth) {
    BookmarkFolder folder;
    folder.name = name;
    if (depth > 64) return folder;
    for (const FirefoxItem &item : children.value(id)) {
        if (item.type == 1)
            folder.bookmarks.append({item.title, item.url});
        else if (item.type == 2)
            folder.folders.append(FirefoxFolder(children, item.id, item.title, depth + 1));
    }
    return folder;
}

}  // namespace

QString BrowserProfile::label() const {
    return QStringLiteral("%1（%2）").arg(browser, name);
}

QList<BrowserProfile> FindBrowserProfiles(const QString &home) {
    QList<BrowserProfile> out;
    const std::pair<const char *, const char *> chromium[] = {
        {"chromium", "Chromium"},
        {"google-chrome", "Google Chrome"},
        {"google-chrome-beta", "Google Chrome Beta"},
        {"microsoft-edge", "Microsoft Edge"},
        {"BraveSoftware/Brave-Browser", "Brave"},
        {"vivaldi", "Vivaldi"},
    };
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    // XDG says a relative path there is to be ignored.
    const QString config = QDir::isAbsolutePath(xdg) ? xdg : home + QStringLiteral("/.config");
    for (const auto &[dir, browser] : chromium)
        ChromiumProfiles(config + u'/' + QLatin1String(dir), QLatin1String(browser), out);
    // Firefox keeps ~/.mozilla where it has one, else (a new user) the config folder; as
    // packaged by the distribution, as a snap and as a flatpak (its config folder its own).
    for (const QString &root :
         {home + QStringLiteral("/.mozilla/firefox"), config + QStringLiteral("/mozilla/firefox"),
          home + QStringLiteral("/snap/firefox/common/.mozilla/firefox"),
          home + QStringLiteral("/.var/app/org.mozilla.firefox/.mozilla/firefox"),
          home + QStringLiteral("/.var/app/org.mozilla.firefox/config/mozilla/firefox")})
        FirefoxProfiles(root, out);
    return out;
}

ProfileReader::ProfileReader(BrowserProfile profile) : profile_(std::move(profile)) {}

ProfileReader::~ProfileReader() {
    if (connection_.isEmpty()) return;
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
}

bool ProfileReader::openHistory(QString *why) {
    if (!connection_.isEmpty() || !error_.isEmpty()) {
        if (why) *why = error_;
        return error_.isEmpty();
    }
    const bool firefox = profile_.kind == BrowserProfile::Firefox;
    const QString name = firefox ? QStringLiteral("places.sqlite") : QStringLiteral("History");
    const QString source = profile_.folder + u'/' + name, copy = copies_.path() + u'/' + name;
    // The browser may be writing: the file and its log are copied, and only the copy read.
    if (!copies_.isValid() || !QFile::copy(source, copy)) {
        error_ = QFileInfo::exists(source) ? QStringLiteral("无法复制文件")
                                           : QStringLiteral("没有历史记录文件");
    } else {
        if (QFileInfo::exists(source + "-wal")) QFile::copy(source + "-wal", copy + "-wal");
        connection_ = QStringLiteral("import-") + QUuid::createUuid().toString(QUuid::Id128);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(copy);
        const QSqlQuery check =
            db.open() ? Query(connection_,
                              firefox ? QStringLiteral("SELECT count(*) FROM moz_places")
                                      : QStringLiteral("SELECT count(*) FROM urls"),
                              {})
                      : QSqlQuery();
        if (!db.isOpen())
            error_ = Why(db.lastError());
        else if (check.lastError().isValid())
            error_ = Why(check.lastError());
    }
    if (!error_.isEmpty() && !connection_.isEmpty()) {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(std::exchange(connection_, QString()));
    }
    if (why) *why = error_;
    return error_.isEmpty();
}

std::optional<BookmarkFolder> ProfileReader::bookmarks(QString *why) {
    if (profile_.kind == BrowserProfile::Chromium) {
        const QString file = profile_.folder + "/Bookmarks";
        if (!QFileInfo::exists(file)) return BookmarkFolder{};
        auto tree = ParseChromiumBookmarks(ReadFileBytes(file));
        if (!tree && why) *why = QStringLiteral("书签文件无法识别");
        return tree;
    }
    if (!openHistory(why)) return std::nullopt;
    QSqlQuery q = Query(connection_,
                        QStringLiteral("SELECT b.id, b.type, b.parent, coalesce(b.title, ''),"
                                       " coalesce(p.url, ''), coalesce(b.guid, '') FROM"
                                       " moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk"
                                       " ORDER BY b.parent, b.position"),
                        {});
    if (q.lastError().isValid()) {
        if (why) *why = Why(q.lastError());
        return std::nullopt;
    }
    QHash<qint64, QList<FirefoxItem>> children;
    qint64 root = -1;
    while (q.next()) {
        const FirefoxItem item{q.value(0).toLongLong(), q.value(1).toInt(), q.value(3).toString(),
                               q.value(4).toString(), q.value(5).toString()};
        if (item.guid == QLatin1String("root________")) root = item.id;
        children[q.value(2).toLongLong()].append(item);
    }
    // The top folders under the names Firefox shows; its tags are no bookmarks of their own.
    const QHash<QString, QString> tops = {{"menu________", "书签菜单"},
                                          {"toolbar_____", "书签工具栏"},
                                          {"unfiled_____", "其他书签"},
                                          {"mobile______", "移动设备书签"}};
    BookmarkFolder tree;
    for (const FirefoxItem &top : children.value(root)) {
        if (top.type != 2 || top.guid == QLatin1String("tags________")) continue;
        BookmarkFolder f = FirefoxFolder(children, top.id, tops.value(top.guid, top.title), 1);
        if (f.count() > 0) tree.folders.append(std::move(f));
    }
    return tree;
}

namespace {

// The page visits since a time, after a visit id, in the browser's own terms: subframes,
// embedded pieces and downloads are no pages of their own. A page's second visit in the same
// millisecond is the same visit to our history, so it is neither counted nor read; it is
// looked for by the time's index ("+" keeps the page's, which may hold thousands, unused).
QString VisitsSql(bool firefox, const QString &columns) {
    const QString page = firefox ? QStringLiteral("moz_places p ON p.id = v.place_id")
                                 : QStringLiteral("urls u ON u.id = v.url");
    const QString kept = firefox ? QStringLiteral("%1.visit_type NOT IN (4, 7, 8)")
                                 : QStringLiteral("(%1.transition & 255) NOT IN (3, 4)");
    return QStringLiteral(
               "SELECT %1 FROM %2 v JOIN %3 WHERE v.%4 >= ? AND v.id > ? AND %5 AND NOT EXISTS"
               " (SELECT 1 FROM %2 w WHERE +w.%6 = v.%6 AND w.id < v.id AND w.%4 >= v.%4 / 1000"
               " * 1000 AND w.%4 < v.%4 / 1000 * 1000 + 1000 AND %7)")
        .arg(columns, firefox ? QStringLiteral("moz_historyvisits") : QStringLiteral("visits"),
             page, firefox ? QStringLiteral("visit_date") : QStringLiteral("visit_time"),
             kept.arg(QLatin1Char('v')),
             firefox ? QStringLiteral("place_id") : QStringLiteral("url"),
             kept.arg(QLatin1Char('w')));
}

qint64 SourceTime(bool firefox, qint64 ms) {
    return firefox ? ms * 1000 : (ms + kChromiumEpochMs) * 1000;
}

}  // namespace

qint64 ProfileReader::countVisits(qint64 since, QString *why) {
    if (!openHistory(why)) return -1;
    const bool firefox = profile_.kind == BrowserProfile::Firefox;
    QSqlQuery q = Query(connection_, VisitsSql(firefox, QStringLiteral("count(*)")),
                        {SourceTime(firefox, since), 0});
    if (!q.next()) {
        if (why) *why = Why(q.lastError());
        return -1;
    }
    return q.value(0).toLongLong();
}

QList<ImportedVisit> ProfileReader::nextVisits(qint64 since, int max, int *skipped) {
    QList<ImportedVisit> out;
    if (!openHistory(nullptr)) return out;
    const bool firefox = profile_.kind == BrowserProfile::Firefox;
    const QString columns = firefox ? QStringLiteral(
                                          "v.id, p.url, p.title, v.visit_date,"
                                          " v.visit_type = 2")
                                    : QStringLiteral(
                                          "v.id, u.url, u.title, v.visit_time,"
                                          " (v.transition & 255) = 1");
    // A batch of nothing but skipped visits is no end: on to the next.
    for (;;) {
        int read = 0;
        QSqlQuery q = Query(connection_, VisitsSql(firefox, columns) + " ORDER BY v.id LIMIT ?",
                            {SourceTime(firefox, since), after_, max});
        for (; q.next(); ++read) {
            after_ = q.value(0).toLongLong();
            const QString url = q.value(1).toString();
            if (!ImportableAddress(url)) {
                if (skipped) ++*skipped;
                continue;
            }
            const qint64 us = q.value(3).toLongLong();
            out.append({url, q.value(2).toString(),
                        firefox ? us / 1000 : us / 1000 - kChromiumEpochMs, q.value(4).toBool()});
        }
        if (!out.isEmpty() || read < max) return out;
    }
}
