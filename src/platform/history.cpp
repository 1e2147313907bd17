#include "history.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QUuid>
#include <QVariant>
#include <algorithm>

#include "core/store.h"
#include "historywriter.h"

using historydb::AgePoints;
using historydb::Run;
using historydb::Words;

namespace {

const char *const kSchema[] = {
    "CREATE TABLE places(id INTEGER PRIMARY KEY, url TEXT NOT NULL UNIQUE,"
    " title TEXT NOT NULL DEFAULT '', visits INTEGER NOT NULL DEFAULT 0,"
    " typed INTEGER NOT NULL DEFAULT 0, last INTEGER NOT NULL DEFAULT 0,"
    " frecency REAL NOT NULL DEFAULT 0, words TEXT NOT NULL DEFAULT '')",
    "CREATE INDEX places_frecency ON places(frecency DESC)",
    "CREATE TABLE visits(id INTEGER PRIMARY KEY, place INTEGER NOT NULL, time INTEGER NOT NULL,"
    " typed INTEGER NOT NULL DEFAULT 0)",
    "CREATE INDEX visits_time ON visits(time)",
    "CREATE INDEX visits_place ON visits(place, time)",
    // Words anywhere: three-letter pieces of title and address.
    "CREATE VIRTUAL TABLE places_text USING fts5(title, url, content='places',"
    " content_rowid='id', tokenize='trigram')",
    "CREATE TRIGGER places_ai AFTER INSERT ON places BEGIN INSERT INTO places_text(rowid, title,"
    " url) VALUES (new.id, new.title, new.url); END",
    "CREATE TRIGGER places_ad AFTER DELETE ON places BEGIN INSERT INTO places_text(places_text,"
    " rowid, title, url) VALUES ('delete', old.id, old.title, old.url); END",
    "CREATE TRIGGER places_au AFTER UPDATE OF title, url ON places BEGIN INSERT INTO"
    " places_text(places_text, rowid, title, url) VALUES ('delete', old.id, old.title, old.url);"
    " INSERT INTO places_text(rowid, title, url) VALUES (new.id, new.title, new.url); END",
};

// The conditions for every typed word: a full-text match for words of three letters or more,
// a plain search for shorter ones. Appends their values to args.
QString WordFilter(const QString &words, QVariantList &args) {
    QStringList fts, clauses;
    for (const QString &w : words.simplified().split(u' ', Qt::SkipEmptyParts)) {
        if (w.size() >= 3) {
            fts << u'"' + QString(w).replace(u'"', QStringLiteral("\"\"")) + u'"';
        } else {
            clauses << QStringLiteral("instr(p.words, ?) > 0");
            args << w.toLower();
        }
    }
    if (!fts.isEmpty()) {
        clauses.prepend(
            QStringLiteral("p.id IN (SELECT rowid FROM places_text WHERE places_text MATCH ?)"));
        args.prepend(fts.join(QStringLiteral(" AND ")));
    }
    return clauses.isEmpty() ? QStringLiteral("1") : clauses.join(QStringLiteral(" AND "));
}

}  // namespace

History::History() {
    connect(this, &History::Held, this, [this](const QString &why) { held_ = why; });
}

History::~History() {
    Close();
}

void History::OpenLater(const QString &path) {
    Close();
    notice_.clear();
    pending_ = path;
}

void History::openPending() const {
    // A History is never const itself: a query opens the database it was left to open.
    if (!pending_.isEmpty()) const_cast<History *>(this)->Open(std::exchange(pending_, QString()));
}

bool History::ready() const {
    openPending();
    return !connection_.isEmpty();
}

QString History::notice() const {
    openPending();
    return notice_;
}

void History::Close() {
    pending_.clear();
    if (writer_) {  // what it can write now, written; then its thread ends
        QMetaObject::invokeMethod(
            writer_,
            [w = writer_] {
                w->drain();
                w->close();
            },
            Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
        delete std::exchange(writer_, nullptr);
    }
    path_.clear();
    if (connection_.isEmpty()) return;
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
    connection_.clear();
}

void History::Open(const QString &path) {
    Close();
    notice_.clear();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        notice_ = QStringLiteral("历史记录不可用（缺少 SQLite 驱动），本次不记录历史。");
        return;
    }
    if (prepare(path)) return startWriter(path);
    const QString why = notice_;
    // Damaged: kept aside for whoever wants it, and a new one in its place.
    if (why == QStringLiteral("damaged")) {
        Close();
        const QString aside = config::damagedName(path);
        QFile::rename(path, aside);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        if (prepare(path)) {
            notice_ = QStringLiteral("历史记录文件已损坏，已移到 %1，并新建了历史记录。")
                          .arg(QFileInfo(aside).fileName());
            return startWriter(path);
        }
    }
    Close();
    notice_ = QStringLiteral("历史记录无法打开（%1），本次不记录历史。")
                  .arg(why == QStringLiteral("damaged") ? QStringLiteral("文件已损坏") : why);
}

// Opens and checks the database, making its tables when new; on failure notice_ says why
// ("damaged" for a file that is no database or a broken one).
void History::startWriter(const QString &path) {
    path_ = path;
    writer_ = new HistoryWriter(this, path);
    writer_->moveToThread(&thread_);
    thread_.start();
}

bool History::prepare(const QString &path) {
    // A new file is the user's alone, and so are its log and index, which take its mode.
    if (const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        fd >= 0)
        ::close(fd);
    connection_ = QStringLiteral("history-") + QUuid::createUuid().toString(QUuid::Id128);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=300"));
    if (!db.open()) {
        notice_ = db.lastError().text();
        return false;
    }
    auto failed = [&](const QSqlQuery &q) {
        const QString code = q.lastError().nativeErrorCode();
        // SQLITE_CORRUPT, SQLITE_NOTADB
        notice_ = code == QLatin1String("11") || code == QLatin1String("26")
                      ? QStringLiteral("damaged")
                  : code == QLatin1String("5") || code == QLatin1String("6")
                      ? QStringLiteral("另一个程序正在使用它")
                      : q.lastError().text();
        return false;
    };
    QSqlQuery q = Run(db, QStringLiteral("PRAGMA journal_mode=WAL"));
    if (q.lastError().isValid()) return failed(q);
    Run(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
    q = Run(db, QStringLiteral("PRAGMA quick_check"));
    if (q.lastError().isValid()) return failed(q);
    if (!q.next() || q.value(0).toString() != QLatin1String("ok")) {
        notice_ = QStringLiteral("damaged");
        return false;
    }
    q = Run(db, QStringLiteral("PRAGMA user_version"));
    int version = q.next() ? q.value(0).toInt() : -1;
    if (version == 0) {  // a new file's tables, made by one writer
        q = Run(db, QStringLiteral("BEGIN IMMEDIATE"));
        if (q.lastError().isValid()) return failed(q);
        q = Run(db, QStringLiteral("PRAGMA user_version"));
        version = q.next() ? q.value(0).toInt() : -1;
    }
    if (version == 0) {
        for (const char *sql : kSchema) {
            q = Run(db, QString::fromLatin1(sql));
            if (q.lastError().isValid()) {
                Run(db, QStringLiteral("ROLLBACK"));
                return failed(q);
            }
        }
        Run(db, QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion));
        Run(db, QStringLiteral("COMMIT"));
    } else if (version != kSchemaVersion) {  // a later version's: left as it is
        Run(db, QStringLiteral("ROLLBACK"));
        notice_ = QStringLiteral("由较新的版本创建");
        return false;
    }
    return true;
}

void History::queue(std::function<bool(Changes &)> change) {
    if (!ready()) return;
    QMetaObject::invokeMethod(
        writer_, [w = writer_, change = std::move(change)] { w->add(change); },
        Qt::QueuedConnection);
}

void History::Flush() {
    if (ready())
        QMetaObject::invokeMethod(
            writer_, [w = writer_] { w->drain(); }, Qt::BlockingQueuedConnection);
}

void History::Record(const QString &url, const QString &title, qint64 when, bool typed) {
    if (url.isEmpty()) return;
    queue([=](Changes &c) {
        QSqlQuery q = c.run(QStringLiteral("SELECT id, title FROM places WHERE url = ?"), {url});
        if (!q.next()) {
            c.run(QStringLiteral("INSERT INTO places(url, title, words) VALUES (?, ?, ?)"),
                  {url, title, Words(title, url)});
            q = c.run(QStringLiteral("SELECT id, title FROM places WHERE url = ?"), {url});
            if (!q.next()) return false;
        } else if (!title.isEmpty() && title != q.value(1).toString()) {
            c.run(QStringLiteral("UPDATE places SET title = ?, words = ? WHERE id = ?"),
                  {title, Words(title, url), q.value(0)});
        }
        const qint64 place = q.value(0).toLongLong();
        c.run(QStringLiteral("INSERT INTO visits(place, time, typed) VALUES (?, ?, ?)"),
              {place, when, int(typed)});
        // Frecency: how many visits, times what the last ten are worth by age, typed ones
        // double.
        q = c.run(QStringLiteral("SELECT time, typed FROM visits WHERE place = ? ORDER BY time"
                                 " DESC LIMIT 10"),
                  {place});
        double points = 0;
        int sampled = 0;
        for (; q.next(); ++sampled)
            points += AgePoints(when - q.value(0).toLongLong()) * (q.value(1).toInt() ? 2 : 1);
        c.run(QStringLiteral("UPDATE places SET visits = visits + 1, typed = typed + ?, last = ?,"
                             " frecency = (visits + 1) * ? WHERE id = ?"),
              {int(typed), when, sampled ? points / sampled : 0.0, place});
        return true;
    });
}

void History::SetTitle(const QString &url, const QString &title) {
    if (title.isEmpty()) return;
    queue([=](Changes &c) {
        c.run(QStringLiteral("UPDATE places SET title = ?, words = ? WHERE url = ? AND title <> ?"),
              {title, Words(title, url), url, title});
        return true;
    });
}

QList<Visit> History::Visits(const QString &words, int limit) const {
    QList<Visit> out;
    if (!ready()) return out;
    QVariantList args;
    const QString where = WordFilter(words, args);
    args << limit;
    QSqlQuery q = Run(QSqlDatabase::database(connection_, false),
                      QStringLiteral("SELECT v.id, p.url, p.title, v.time FROM visits v JOIN"
                                     " places p ON p.id = v.place WHERE %1 ORDER BY v.time DESC,"
                                     " v.id DESC LIMIT ?")
                          .arg(where),
                      args);
    while (q.next())
        out.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                    q.value(3).toLongLong()});
    return out;
}

namespace {

QList<Suggestion> SuggestFrom(const QSqlDatabase &db, const QString &typed, qint64 now, int max) {
    const QStringList words = typed.toLower().simplified().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty() || !db.isOpen()) return {};
    // First the most frecent pages, searched plainly: quick, and where the best ones are.
    QStringList plain;
    QVariantList args;
    for (const QString &w : words) plain << QStringLiteral("instr(p.words, ?) > 0"), args << w;
    const QString pick = QStringLiteral(
        "SELECT p.id, p.url, p.title, p.frecency, p.last FROM %1 p WHERE %2"
        " ORDER BY p.frecency DESC, p.last DESC, p.id DESC LIMIT 100");
    QList<QSqlQuery> found{Run(db,
                               pick.arg(QStringLiteral("(SELECT * FROM places ORDER BY frecency "
                                                       "DESC LIMIT %1)")
                                            .arg(History::kFrecentPool),
                                        plain.join(QStringLiteral(" AND "))),
                               args)};
    // Then every page, through the index of three-letter pieces, when that found too few.
    QList<std::pair<double, Suggestion>> ranked;
    QSet<qint64> seen;
    auto take = [&](QSqlQuery &q) {
        while (q.next())
            if (!seen.contains(q.value(0).toLongLong())) {
                seen.insert(q.value(0).toLongLong());
                // Frecency as it stood at the last visit, aged to now.
                ranked.append({q.value(3).toDouble() * AgePoints(now - q.value(4).toLongLong()),
                               {q.value(1).toString(), q.value(2).toString(), false}});
            }
    };
    take(found[0]);
    if (ranked.size() < max &&
        std::any_of(words.begin(), words.end(), [](const QString &w) { return w.size() >= 3; })) {
        QVariantList all;
        const QString where = WordFilter(typed, all);
        QSqlQuery q = Run(db, pick.arg(QStringLiteral("places"), where), all);
        take(q);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    QList<Suggestion> out;
    for (qsizetype i = 0; i < ranked.size() && i < max; ++i) out << ranked[i].second;
    return out;
}

}  // namespace

QList<Suggestion> History::Suggest(const QString &typed, qint64 now, int max) const {
    if (!ready()) return {};
    return SuggestFrom(QSqlDatabase::database(connection_, false), typed, now, max);
}

namespace {
thread_local QString threadConnection;  // a suggesting thread's own
}  // namespace

QList<Suggestion> History::SuggestIn(const QString &path, const QString &typed, qint64 now,
                                     int max) {
    if (path.isEmpty()) return {};
    if (QSqlDatabase::database(threadConnection, false).databaseName() != path) {
        CloseThreadConnection();
        threadConnection = QStringLiteral("history-read-") + QUuid::createUuid().toString();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), threadConnection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=300"));
        if (!db.open()) return {};
    }
    return SuggestFrom(QSqlDatabase::database(threadConnection, false), typed, now, max);
}

void History::CloseThreadConnection() {
    if (threadConnection.isEmpty()) return;
    QSqlDatabase::database(threadConnection, false).close();
    QSqlDatabase::removeDatabase(std::exchange(threadConnection, QString()));
}

void History::Remove(const QList<qint64> &visitIds) {
    if (visitIds.isEmpty()) return;
    queue([=](Changes &c) {
        for (qint64 id : visitIds) {
            QSqlQuery q = c.run(QStringLiteral("SELECT v.place, p.url FROM visits v JOIN places p"
                                               " ON p.id = v.place WHERE v.id = ?"),
                                {id});
            if (!q.next()) continue;
            const qint64 place = q.value(0).toLongLong();
            c.forgotten << q.value(1).toString();
            c.run(QStringLiteral("DELETE FROM visits WHERE id = ?"), {id});
            c.run(
                QStringLiteral("UPDATE places SET frecency = frecency * (visits - 1) / visits,"
                               " visits = visits - 1, last = coalesce((SELECT max(time) FROM"
                               " visits WHERE place = places.id), 0) WHERE id = ? AND visits > 0"),
                {place});
        }
        c.dropEmptyPlaces();
        return true;
    });
}

void History::Forget(const QString &url) {
    queue([=](Changes &c) {
        c.forgotten << url;
        c.run(QStringLiteral("DELETE FROM visits WHERE place IN (SELECT id FROM places WHERE url"
                             " = ?)"),
              {url});
        c.dropEmptyPlaces();
        return true;
    });
}

void History::ClearSince(qint64 since) {
    queue([=](Changes &c) {
        QSqlQuery q = c.run(QStringLiteral("SELECT DISTINCT p.url FROM visits v JOIN places p ON"
                                           " p.id = v.place WHERE v.time >= ?"),
                            {since});
        while (q.next()) c.forgotten << q.value(0).toString();
        c.run(QStringLiteral("DELETE FROM visits WHERE time >= ?"), {since});
        c.run(QStringLiteral("UPDATE places SET visits = (SELECT count(*) FROM visits WHERE place"
                             " = places.id), last = coalesce((SELECT max(time) FROM visits WHERE"
                             " place = places.id), 0) WHERE last >= ?"),
              {since});
        c.dropEmptyPlaces();
        c.vacuum = since == 0;
        return true;
    });
}
