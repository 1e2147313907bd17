#include "search.h"

#include <QUrl>

namespace {

struct Engine {
    const char *setting, *front, *query;
};

constexpr Engine kEngines[] = {
    // Over https: search terms never cross the network in clear text.
    {"0", "https://www.baidu.com/", "https://www.baidu.com/s?wd="},
    {"1", "https://www.google.com/", "https://www.google.com/search?q="},
    {"2", "https://cn.bing.com/", "https://cn.bing.com/search?q="},
};

const Engine *find(const QString &setting) {
    for (const Engine &e : kEngines)
        if (setting == QLatin1String(e.setting)) return &e;
    return nullptr;
}

}  // namespace

QString SearchAddress(const QString &searchSetting, const QString &term) {
    const Engine *e = find(searchSetting);
    return e ? QLatin1String(e->query) + QString::fromLatin1(QUrl::toPercentEncoding(term))
             : QString();
}

QString SearchFrontPage(const QString &searchSetting) {
    const Engine *e = find(searchSetting);
    return e ? QString::fromLatin1(e->front) : QString();
}

QString AddressOrSearch(const QString &typed, const QString &searchSetting) {
    const QString text = typed.trimmed();
    // A single word is an address, as the engine guesses it; words the engine cannot
    // take as an address at all ("c++ & qt", "100%") would otherwise do nothing.
    if (text.isEmpty() || QUrl::fromUserInput(text).isValid()) return typed;
    const QString search = SearchAddress(searchSetting, text);
    return search.isEmpty() ? typed : search;
}
