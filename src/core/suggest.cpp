#include "suggest.h"

QStringList Suggestions(const QStringList &newestLast, const QString &typed, int max) {
    QStringList out;
    const QString t = typed.trimmed();
    if (t.isEmpty()) return out;
    for (qsizetype i = newestLast.size() - 1; i >= 0 && out.size() < max; --i)
        if (newestLast[i].contains(t, Qt::CaseInsensitive) && !out.contains(newestLast[i]))
            out << newestLast[i];
    return out;
}
