#pragma once
// The three search engines of the address bar and the navigation page, chosen by
// the setting "Search" ("0" Baidu, "1" Google, "2" Bing); any other value: none.
#include <QString>

// The engine's query address ending in the term as typed; empty for no engine.
QString SearchAddress(const QString &searchSetting, const QString &term);
QString SearchFrontPage(const QString &searchSetting);
