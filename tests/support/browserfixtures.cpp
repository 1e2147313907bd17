#include "browserfixtures.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace {

constexpr qint64 kChromiumEpochMs = 11644473600000LL;

// Runs the statements on a new database and closes it.
void Build(const QString &path, const std::function<void(QSqlQuery &)> &fill) {
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec("PRAGMA journal_mode=WAL");
        q.exec("BEGIN");
        fill(q);
        q.exec("COMMIT");
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void Run(QSqlQuery &q, const QString &sql, const QVariantList &args) {
    q.prepare(sql);
    for (const QVariant &a : args) q.addBindValue(a);
    q.exec();
}

}  // namespace

void MakeChromiumProfile(const QString &home, const QString &barChildrenJson,
                         const QList<FixtureVisit> &visits) {
    const QString dir = home + "/.config/chromium/Default";
    QDir().mkpath(dir);
    QFile json(dir + "/Bookmarks");
    json.open(QIODevice::WriteOnly);
    json.write(QString(R"({"checksum":"0","roots":{"bookmark_bar":{"children":%1,)"
                       R"("id":"1","name":"书签栏","type":"folder"},"other":{"children":[],)"
                       R"("id":"2","name":"其他书签","type":"folder"},"synced":{"children":[],)"
                       R"("id":"3","name":"移动设备书签","type":"folder"}},"version":1})")
                   .arg(barChildrenJson)
                   .toUtf8());
    Build(dir + "/History", [&](QSqlQuery &q) {
        q.exec(
            "CREATE TABLE urls(id INTEGER PRIMARY KEY AUTOINCREMENT,url LONGVARCHAR,title "
            "LONGVARCHAR,visit_count INTEGER DEFAULT 0 NOT NULL,typed_count INTEGER DEFAULT 0 "
            "NOT NULL,last_visit_time INTEGER NOT NULL,hidden INTEGER DEFAULT 0 NOT NULL)");
        q.exec(
            "CREATE TABLE visits(id INTEGER PRIMARY KEY AUTOINCREMENT,url INTEGER NOT NULL,"
            "visit_time INTEGER NOT NULL,from_visit INTEGER,transition INTEGER DEFAULT 0 NOT "
            "NULL,segment_id INTEGER,visit_duration INTEGER DEFAULT 0 NOT NULL,"
            "incremented_omnibox_typed_score BOOLEAN DEFAULT FALSE NOT NULL)");
        q.exec("CREATE INDEX urls_url_index ON urls (url)");
        q.exec("CREATE INDEX visits_time_index ON visits (visit_time)");
        for (const FixtureVisit &v : visits) {
            const qint64 time = (v.when + kChromiumEpochMs) * 1000;
            Run(q,
                "INSERT INTO urls(url, title, last_visit_time) SELECT ?, ?, ? WHERE NOT EXISTS "
                "(SELECT 1 FROM urls WHERE url = ?)",
                {v.url, v.title, time, v.url});
            // 1 typed, 0 a link; 0x30000000 the chain's start and end
            Run(q,
                "INSERT INTO visits(url, visit_time, transition) SELECT id, ?, ? FROM urls "
                "WHERE url = ?",
                {time, (v.typed ? 1 : 0) | 0x30000000, v.url});
        }
    });
}

QString MakeFirefoxProfile(const QString &home, const QList<FixtureBookmark> &bookmarks,
                           const QList<FixtureVisit> &visits, const QString &under) {
    const QString root = home + "/" + under, dir = root + "/x1y2z3.default-release";
    QDir().mkpath(dir);
    QFile installs(root + "/installs.ini");
    installs.open(QIODevice::WriteOnly);
    installs.write("[4F96D1932A9F858E]\nDefault=x1y2z3.default-release\nLocked=1\n");
    QFile ini(root + "/profiles.ini");
    ini.open(QIODevice::WriteOnly);
    ini.write(
        "[Install4F96D1932A9F858E]\nDefault=x1y2z3.default-release\nLocked=1\n\n"
        "[Profile0]\nName=default-release\nIsRelative=1\nPath=x1y2z3.default-release\n"
        "Default=1\n\n[General]\nStartWithLastProfile=1\nVersion=2\n");
    const QString places = dir + "/places.sqlite";
    Build(places, [&](QSqlQuery &q) {
        q.exec(
            "CREATE TABLE moz_origins ( id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host "
            "TEXT NOT NULL, frecency INTEGER NOT NULL, recalc_frecency INTEGER NOT NULL "
            "DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0, "
            "UNIQUE (prefix, host) )");
        q.exec(
            "CREATE TABLE moz_places (   id INTEGER PRIMARY KEY, url LONGVARCHAR, title "
            "LONGVARCHAR, rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER "
            "DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 "
            "NOT NULL, last_visit_date INTEGER , guid TEXT, foreign_count INTEGER DEFAULT 0 NOT "
            "NULL, url_hash INTEGER DEFAULT 0 NOT NULL , description TEXT, preview_image_url "
            "TEXT, site_name TEXT, origin_id INTEGER REFERENCES moz_origins(id), "
            "recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, "
            "recalc_alt_frecency INTEGER NOT NULL DEFAULT 0)");
        q.exec(
            "CREATE TABLE moz_historyvisits (  id INTEGER PRIMARY KEY, from_visit INTEGER, "
            "place_id INTEGER, visit_date INTEGER, visit_type INTEGER, session INTEGER, source "
            "INTEGER DEFAULT 0 NOT NULL, triggeringPlaceId INTEGER)");
        q.exec(
            "CREATE TABLE moz_bookmarks (  id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER "
            "DEFAULT NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id "
            "INTEGER, folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT, "
            "syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL "
            "DEFAULT 1)");
        q.exec("CREATE UNIQUE INDEX moz_places_url_hashindex ON moz_places (url_hash, url)");
        q.exec("CREATE INDEX moz_historyvisits_dateindex ON moz_historyvisits (visit_date)");
        q.exec(
            "INSERT INTO moz_bookmarks(id, type, parent, position, title, guid) VALUES "
            "(1, 2, 0, 0, '', 'root________'), (2, 2, 1, 0, 'menu', 'menu________'), "
            "(3, 2, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, 1, 2, 'tags', 'tags________'), "
            "(5, 2, 1, 3, 'unfiled', 'unfiled_____'), (6, 2, 1, 4, 'mobile', 'mobile______')");
        auto place = [&](const QString &url, const QString &title) {
            Run(q,
                "INSERT OR IGNORE INTO moz_places(url, title, url_hash, guid) VALUES (?, ?, "
                "?, ?)",
                {url, title, qint64(qHash(url) & 0xFFFFFFFFFFFF),
                 QUuid::createUuid().toString().mid(1, 12)});
            Run(q, "SELECT id FROM moz_places WHERE url = ?", {url});
            q.next();
            return q.value(0).toLongLong();
        };
        int position = 0;
        for (const FixtureBookmark &b : bookmarks) {
            qint64 parent = 2;
            if (!b.folder.isEmpty()) {
                Run(q, "SELECT id FROM moz_bookmarks WHERE type = 2 AND title = ? AND parent = 2",
                    {b.folder});
                if (q.next()) {
                    parent = q.value(0).toLongLong();
                } else {
                    Run(q,
                        "INSERT INTO moz_bookmarks(type, parent, position, title, guid) "
                        "VALUES (2, 2, ?, ?, ?)",
                        {position++, b.folder, QUuid::createUuid().toString().mid(1, 12)});
                    parent = q.lastInsertId().toLongLong();
                }
            }
            const qint64 fk = place(b.url, b.name);
            Run(q,
                "INSERT INTO moz_bookmarks(type, fk, parent, position, title, guid) VALUES "
                "(1, ?, ?, ?, ?, ?)",
                {fk, parent, position++, b.name, QUuid::createUuid().toString().mid(1, 12)});
        }
        for (const FixtureVisit &v : visits)
            Run(q,
                "INSERT INTO moz_historyvisits(place_id, visit_date, visit_type) VALUES (?, ?, "
                "?)",
                {place(v.url, v.title), v.when * 1000, v.typed ? 2 : 1});
    });
    return places;
}
