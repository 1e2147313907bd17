// Another browser's visits brought in batches: through a table of their own, so that each
// batch costs a few statements, not a few for every visit.
#include "history.h"
#include "historywriter.h"

using historydb::AgePoints;
using historydb::Words;

void History::Import(const QList<ImportedVisit> &visits) {
    if (visits.isEmpty()) return;
    if (!ready()) {
        emit Imported(0);
        return;
    }
    queue([this, visits](Changes &c) {
        c.done = [this](bool) { emit Imported(0); };  // failed before the end
        // The batch goes through a table of its own, so that the new pages reach the index of
        // words in one statement, not one each.
        c.run(
            QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS batch(url TEXT, title TEXT, words"
                           " TEXT, time INTEGER, typed INTEGER)"));
        c.run(QStringLiteral("DELETE FROM batch"));
        QSqlQuery row = c.prepare(QStringLiteral("INSERT INTO batch VALUES (?, ?, ?, ?, ?)"));
        for (const ImportedVisit &v : visits)
            if (!c.exec(row, {v.url, v.title, Words(v.title, v.url), v.when, int(v.typed)}))
                return false;
        // New pages under their latest title; a page here without a title takes one.
        c.run(
            QStringLiteral("INSERT INTO places(url, title, words) SELECT url, title, words FROM"
                           " (SELECT url, title, words, max(time) FROM batch GROUP BY url) b"
                           " WHERE NOT EXISTS (SELECT 1 FROM places p WHERE p.url = b.url)"));
        c.run(QStringLiteral(
            "UPDATE places SET (title, words) = (SELECT title, words FROM batch b WHERE b.url ="
            " places.url AND b.title <> '' ORDER BY b.time DESC LIMIT 1) WHERE title = '' AND"
            " url IN (SELECT url FROM batch WHERE title <> '')"));
        // A visit here already (the same page at the same time) is not added again.
        c.run(
            QStringLiteral("DELETE FROM batch WHERE EXISTS (SELECT 1 FROM places p JOIN visits v"
                           " ON v.place = p.id WHERE p.url = batch.url AND v.time = batch.time)"));
        const int added =
            c.run(QStringLiteral("INSERT INTO visits(place, time, typed) SELECT p.id, b.time,"
                                 " b.typed FROM batch b JOIN places p ON p.url = b.url"))
                .numRowsAffected();
        // Each page's counts and frecency as its own visits would have made them.
        QSqlQuery touched = c.run(
            QStringLiteral("SELECT DISTINCT p.id FROM batch b JOIN places p ON p.url = b.url"));
        QList<qint64> places;
        while (touched.next()) places << touched.value(0).toLongLong();
        QSqlQuery last = c.prepare(QStringLiteral(
            "SELECT time, typed FROM visits WHERE place = ? ORDER BY time DESC LIMIT 10"));
        QSqlQuery totals = c.prepare(
            QStringLiteral("SELECT count(*), sum(typed), max(time) FROM visits WHERE place = ?"));
        QSqlQuery update = c.prepare(QStringLiteral(
            "UPDATE places SET visits = ?, typed = ?, last = ?, frecency = ? WHERE id = ?"));
        for (qint64 place : places) {
            if (!c.exec(totals, {place}) || !totals.next()) return false;
            const qint64 count = totals.value(0).toLongLong(),
                         newest = totals.value(2).toLongLong();
            const qint64 typed = totals.value(1).toLongLong();
            totals.finish();
            if (!c.exec(last, {place})) return false;
            double points = 0;
            int sampled = 0;
            for (; last.next(); ++sampled)
                points += AgePoints(newest - last.value(0).toLongLong()) *
                          (last.value(1).toInt() ? 2 : 1);
            if (!c.exec(update,
                        {count, typed, newest, sampled ? count * points / sampled : 0.0, place}))
                return false;
        }
        c.run(QStringLiteral("DELETE FROM batch"));
        c.done = [this, added](bool written) { emit Imported(written ? added : 0); };
        return !c.error_.isValid();
    });
}
