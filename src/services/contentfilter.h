#pragma once
// Covers a tab with its lock when the page title holds a blocked word.
#include <QString>

class Form1;

struct FilterSettings {
    QString useFilter;   // "1": on
    QString filter;      // three flags: sexual words, violent words, the user's words
    QString filterText;  // the user's words, ";" between them
};

// The first blocked word the title holds, or empty text. The user's words match without
// regard to letter case like the built-in ones, and empty pieces of the list are skipped.
QString FilteredWord(const QString &title, const FilterSettings &settings);

// Reads the settings now and locks the tab on a match.
void IsPageFiltered(Form1 *tab);
