#pragma once
// Other browsers' profiles as they write them, made by the tests: Chromium's Bookmarks and
// History, Firefox's profiles.ini and places.sqlite.
#include <QList>
#include <QString>

struct FixtureVisit {
    QString url, title;
    qint64 when;  // milliseconds since the epoch
    bool typed = false;
};
struct FixtureBookmark {
    QString folder;  // under the bookmarks menu; empty: in it
    QString name, url;
};

// ~/.config/chromium/Default; bookmarks: the bar's children as Chromium's JSON.
void MakeChromiumProfile(const QString &home, const QString &barChildrenJson,
                         const QList<FixtureVisit> &visits);
// ~/<under>/profiles.ini, installs.ini and the profile; the path of places.sqlite.
QString MakeFirefoxProfile(const QString &home, const QList<FixtureBookmark> &bookmarks,
                           const QList<FixtureVisit> &visits,
                           const QString &under = ".mozilla/firefox");
