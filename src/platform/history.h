#pragma once
// What the user visited, in a SQLite database of its own (write-ahead log, one writer, a
// versioned schema): each visit, and one line per address with how often, how lately and how
// often typed. It finds visits by words anywhere in title or address, and ranks addresses for
// the address box by frecency: often and lately, typed counting more. A damaged file is moved
// aside and a new one made; a file another program holds, or no SQLite driver, leaves history
// off for the run. Times are milliseconds since the epoch.
#include <QList>
#include <QString>

struct Visit {
    qint64 id = 0;
    QString url;
    QString title;
    qint64 when = 0;
};

struct Suggestion {
    QString url;
    QString title;
    bool bookmark = false;
};

class History {
  public:
    History();
    ~History();
    History(const History &) = delete;
    History &operator=(const History &) = delete;

    // Opens (or makes) the database; what happened, for the user once, in notice().
    void Open(const QString &path);
    // The same at the first use: a start asks for its first page without waiting for the
    // database, whose check reads the whole file.
    void OpenLater(const QString &path);
    void Close();
    bool ready() const;
    QString notice() const;

    // A page a tab reached; typed: the user typed or chose its address.
    void Record(const QString &url, const QString &title, qint64 when, bool typed = false);
    // The title a recorded page showed later.
    void SetTitle(const QString &url, const QString &title);
    // The newest first; with words, only visits whose title or address holds every word.
    QList<Visit> Visits(const QString &words = {}, int limit = 5000) const;
    // The addresses whose title or address holds every typed word, the best first.
    QList<Suggestion> Suggest(const QString &typed, qint64 now, int max = 8) const;
    void Remove(const QList<qint64> &visitIds);
    // Every visit since then (0: all of them), and the addresses no visit is left for.
    void ClearSince(qint64 since);

    static constexpr int kSchemaVersion = 1;
    // Words shorter than three letters are looked for among this many of the most frecent pages.
    static constexpr int kFrecentPool = 5000;

  private:
    void openPending() const;
    bool prepare(const QString &path);
    void dropEmptyPlaces();
    QString connection_;  // the open database's connection name; empty when off
    QString notice_;
    mutable QString pending_;  // to be opened at the first use
};
