#pragma once
// What the user visited, in a SQLite database of its own (write-ahead log, one writer, a
// versioned schema): each visit, and one line per address with how often, how lately and how
// often typed. It finds visits by words anywhere in title or address, and ranks addresses for
// the address box by frecency: often and lately, typed counting more. A damaged file is moved
// aside and a new one made; a later version's file, or no SQLite driver, leaves history off
// for the run. Every change goes in order through a queue to a writer thread of its own, so
// the interface never waits on the database; a file another program holds, or one that cannot
// be written now, keeps the changes queued until it can. What is removed leaves no byte in
// the file or its log. Times are milliseconds since the epoch.
#include <QList>
#include <QObject>
#include <QString>
#include <QThread>
#include <functional>

struct Visit {
    qint64 id = 0;
    QString url;
    QString title;
    qint64 when = 0;
};

// A visit brought over from another browser.
struct ImportedVisit {
    QString url;
    QString title;
    qint64 when = 0;
    bool typed = false;
};

struct Suggestion {
    QString url;
    QString title;
    bool bookmark = false;
};

class HistoryWriter;

class History : public QObject {
    Q_OBJECT
  public:
    History();
    ~History() override;
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
    QString path() const { return ready() ? path_ : QString(); }
    // The same on another thread, through a read connection of that thread's own made at its
    // first use; CloseThreadConnection there before the thread ends.
    static QList<Suggestion> SuggestIn(const QString &path, const QString &typed, qint64 now,
                                       int max = 8);
    static void CloseThreadConnection();
    void Remove(const QList<qint64> &visitIds);
    // Every visit of the address, and the address.
    void Forget(const QString &url);
    // Every visit since then (0: all of them), and the addresses no visit is left for.
    void ClearSince(qint64 since);
    // Another browser's visits with their times and titles, ranked as if made here; one
    // already here (the same address at the same time) is not added again. Imported says
    // how many were, once written.
    void Import(const QList<ImportedVisit> &visits);
    // Waits until every change asked for so far was written, or could not be for now.
    void Flush();
    // Why the changes wait, as Held last said; empty while they are written.
    QString heldBecause() const { return held_; }

    static constexpr int kSchemaVersion = 1;
    // Words shorter than three letters are looked for among this many of the most frecent pages.
    static constexpr int kFrecentPool = 5000;

  signals:
    // Changes were written; forgotten: the addresses whose visits a removal took, everything
    // when all was cleared.
    void Written(const QStringList &forgotten, bool everything);
    // The changes wait: the file cannot be written now (why, in Chinese); empty once it can.
    void Held(const QString &why);
    void Imported(int added);  // from the writer's thread

  private:
    void openPending() const;
    bool prepare(const QString &path);
    void startWriter(const QString &path);
    void queue(std::function<bool(class Changes &)> change);
    QThread thread_;
    HistoryWriter *writer_ = nullptr;
    QString connection_;  // the open database's connection name; empty when off
    QString path_;
    QString notice_;
    QString held_;
    mutable QString pending_;  // to be opened at the first use
};
