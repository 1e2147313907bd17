#pragma once
// What the address box suggests while the user types: the addresses that hold the typed
// text anywhere, letter case aside, the newest first.
#include <QStringList>

QStringList Suggestions(const QStringList &newestLast, const QString &typed, int max = 10);
// Whether the text holds every word, letter case aside.
bool HoldsEveryWord(const QString &text, const QStringList &words);

// Where each typed word stands in a suggestion's text, letter case aside: (start, length),
// in order, overlapping places joined. What is drawn in bold.
QList<std::pair<qsizetype, qsizetype>> MatchSpans(const QString &text, const QString &typed);
