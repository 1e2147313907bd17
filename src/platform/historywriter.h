#pragma once
// The history database's one writer: a thread of its own with its own connection, taking the
// changes in order, each kept in the queue until the file takes it.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

class History;

namespace historydb {
QSqlQuery Run(const QSqlDatabase &db, const QString &sql, const QVariantList &args = {});
// How much a visit of this age counts towards its page's frecency.
double AgePoints(qint64 age);
// Title and address as short words are looked for in them: letter case aside.
QString Words(const QString &title, const QString &url);
}  // namespace historydb

// One change: its statements in one transaction, the first failure stopping the rest.
class Changes {
  public:
    explicit Changes(QSqlDatabase db) : db_(std::move(db)) {}
    QSqlQuery run(const QString &sql, const QVariantList &args = {});
    // A statement prepared once and run many times, for changes of thousands of rows.
    QSqlQuery prepare(const QString &sql);
    bool exec(QSqlQuery &q, const QVariantList &args);
    // An address no visit is left for is forgotten, its suggestion too.
    void dropEmptyPlaces();
    QSqlError error_;
    QStringList forgotten;  // addresses whose visits went
    bool purge = false, vacuum = false;
    // Told once whether the change was written or never will be (not while it waits).
    std::function<void(bool written)> done;

  private:
    QSqlDatabase db_;
};

class HistoryWriter : public QObject {
  public:
    HistoryWriter(History *owner, const QString &path);
    void add(std::function<bool(Changes &)> change);
    void drain();
    void close();

  private:
    QSqlDatabase connection();
    void hold(const QString &why);

    History *owner_;
    QString path_, name_;
    std::deque<std::function<bool(Changes &)>> queue_;
    QTimer retry_;
    QString held_;  // why the queue waits
};
