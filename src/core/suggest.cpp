#include "suggest.h"

#include <algorithm>

QStringList Suggestions(const QStringList &newestLast, const QString &typed, int max) {
    QStringList out;
    const QString t = typed.trimmed();
    if (t.isEmpty()) return out;
    for (qsizetype i = newestLast.size() - 1; i >= 0 && out.size() < max; --i)
        if (newestLast[i].contains(t, Qt::CaseInsensitive) && !out.contains(newestLast[i]))
            out << newestLast[i];
    return out;
}

QList<std::pair<qsizetype, qsizetype>> MatchSpans(const QString &text, const QString &typed) {
    QList<std::pair<qsizetype, qsizetype>> found;
    for (const QString &word : typed.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        for (qsizetype at = text.indexOf(word, 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(word, at + word.size(), Qt::CaseInsensitive))
            found.append({at, word.size()});
    std::sort(found.begin(), found.end());
    QList<std::pair<qsizetype, qsizetype>> joined;
    for (const auto &[start, length] : found) {
        if (!joined.isEmpty() && start <= joined.last().first + joined.last().second) {
            auto &last = joined.last();
            last.second = std::max(last.second, start + length - last.first);
        } else {
            joined.append({start, length});
        }
    }
    return joined;
}

bool HoldsEveryWord(const QString &text, const QStringList &words) {
    for (const QString &w : words)
        if (!text.contains(w, Qt::CaseInsensitive)) return false;
    return true;
}
