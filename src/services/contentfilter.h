#pragma once
// Judges a page's title: a tab is covered by its lock when the title holds a blocked word.
#include <QString>

class QUrl;

struct FilterSettings {
    QString useFilter;   // "1": on
    QString filter;      // three flags: sexual words, violent words, the user's words
    QString filterText;  // the user's words, ";" between them
};

// The first blocked word the title holds, or empty text. The user's words match without
// regard to letter case like the built-in ones, and empty pieces of the list are skipped.
QString FilteredWord(const QString &title, const FilterSettings &settings);

// Reads the settings now: true when the title must be covered.
bool IsPageFiltered(const QString &title);

// Until a page has a title of its own the engine shows its address in its place (the
// whole address, without "http://", or a local file's name); that is no title to judge.
bool TitleIsAddress(const QString &title, const QUrl &url);
