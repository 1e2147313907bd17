#include "historywriter.h"

#include <QUuid>
#include <QVariant>

#include "history.h"

namespace historydb {

QSqlQuery Run(const QSqlDatabase &db, const QString &sql, const QVariantList &args) {
    QSqlQuery q(db);
    if (!q.prepare(sql)) return q;  // its error says why (a file that is no database)
    for (const QVariant &a : args) q.addBindValue(a);
    q.exec();
    return q;
}

constexpr qint64 kDay = 24LL * 3600 * 1000;

// How much a visit of this age counts (Firefox's buckets).
double AgePoints(qint64 age) {
    if (age < 4 * kDay) return 100;
    if (age < 14 * kDay) return 70;
    if (age < 31 * kDay) return 50;
    if (age < 90 * kDay) return 30;
    return 10;
}

// Title and address as short words are looked for in them: letter case aside.
QString Words(const QString &title, const QString &url) {
    return (title + u' ' + url).toLower();
}

}  // namespace historydb

using historydb::Run;

namespace {

// SQLite's primary result code, whether or not it came extended.
int Code(const QSqlError &e) {
    return e.nativeErrorCode().toInt() & 0xFF;
}

// A file that may be written later: busy, locked, read-only, I/O error, full, cannot open.
bool Passing(const QSqlError &e) {
    const int code = Code(e);
    return code == 5 || code == 6 || code == 8 || code == 10 || code == 13 || code == 14;
}

// Why the file cannot be written, for the user.
QString Why(const QSqlError &e) {
    switch (Code(e)) {
        case 5:
        case 6:
            return QStringLiteral("另一个程序正在使用它");
        case 8:
            return QStringLiteral("文件是只读的");
        case 13:
            return QStringLiteral("磁盘空间不足");
        case 14:
            return QStringLiteral("无法打开文件");
        default:
            return QStringLiteral("读写磁盘出错");
    }
}

// Removed pages leave no byte behind: freed space is zeroed (secure delete), the full-text
// index rewritten without them, and the log emptied into the file.
void Purge(const QSqlDatabase &db, bool vacuum) {
    if (vacuum) Run(db, QStringLiteral("VACUUM"));
    Run(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

}  // namespace

QSqlQuery Changes::run(const QString &sql, const QVariantList &args) {
    if (error_.isValid()) return QSqlQuery(db_);
    QSqlQuery q = Run(db_, sql, args);
    if (q.lastError().isValid()) error_ = q.lastError();
    return q;
}

QSqlQuery Changes::prepare(const QString &sql) {
    QSqlQuery q(db_);
    if (!error_.isValid() && !q.prepare(sql)) error_ = q.lastError();
    return q;
}

bool Changes::exec(QSqlQuery &q, const QVariantList &args) {
    if (error_.isValid()) return false;
    for (int i = 0; i < args.size(); ++i) q.bindValue(i, args[i]);
    if (q.exec()) return true;
    error_ = q.lastError();
    return false;
}

void Changes::dropEmptyPlaces() {
    run(
        QStringLiteral("DELETE FROM places WHERE visits <= 0 OR NOT EXISTS (SELECT 1 FROM"
                       " visits WHERE place = places.id)"));
    run(QStringLiteral("INSERT INTO places_text(places_text) VALUES ('optimize')"));
    purge = true;
}

HistoryWriter::HistoryWriter(History *owner, const QString &path)
    : owner_(owner), path_(path), retry_(this) {  // the timer moves to its thread with it
    retry_.setSingleShot(true);
    retry_.setInterval(1000);
    connect(&retry_, &QTimer::timeout, this, &HistoryWriter::drain);
}

void HistoryWriter::add(std::function<bool(Changes &)> change) {
    queue_.push_back(std::move(change));
    if (!retry_.isActive()) drain();
}

void HistoryWriter::drain() {
    QSqlDatabase db = connection();
    QStringList forgotten;
    bool everything = false;
    QString why = db.isOpen() ? QString() : Why(db.lastError());
    bool wrote = false;
    while (!queue_.empty() && why.isEmpty()) {
        Changes c(db);
        c.run(QStringLiteral("BEGIN IMMEDIATE"));
        const bool ok = c.error_.isValid() || queue_.front()(c);
        c.run(ok ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
        if (c.error_.isValid()) {
            Run(db, QStringLiteral("ROLLBACK"));
            if (Passing(c.error_)) {
                why = Why(c.error_);
                break;
            }
            if (c.done) c.done(false);
        } else {
            if (c.done) c.done(true);
            wrote = true;
            forgotten += c.forgotten;
            everything = everything || c.vacuum;
            if (c.purge) Purge(db, c.vacuum);
        }
        queue_.pop_front();  // written, or never will be
    }
    if (wrote) emit owner_->Written(forgotten, everything);
    if (!why.isEmpty()) return hold(why);
    if (!std::exchange(held_, QString()).isEmpty()) emit owner_->Held({});
}

void HistoryWriter::close() {
    retry_.stop();
    if (name_.isEmpty()) return;
    QSqlDatabase::database(name_, false).close();
    QSqlDatabase::removeDatabase(name_);
    name_.clear();
}

QSqlDatabase HistoryWriter::connection() {
    if (name_.isEmpty()) {
        name_ = QStringLiteral("history-writer-") + QUuid::createUuid().toString(QUuid::Id128);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path_);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=500"));
    }
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    if (!db.isOpen() && db.open()) Run(db, QStringLiteral("PRAGMA secure_delete=ON"));
    return db;
}

void HistoryWriter::hold(const QString &why) {
    retry_.start();
    if (held_ != why) emit owner_->Held(held_ = why);
}
