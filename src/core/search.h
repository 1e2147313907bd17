#pragma once
// The three search engines of the address bar and the navigation page, chosen by
// the setting "Search" ("0" Baidu, "1" Google, "2" Bing); any other value: none.
#include <QString>

// The engine's query address ending in the term, percent-encoded so that "&", "#", "%"
// and "+" reach the engine as typed; empty for no engine.
QString SearchAddress(const QString &searchSetting, const QString &term);
QString SearchFrontPage(const QString &searchSetting);

// What Enter in the address box opens: the typed text as the engine guesses an address
// (host-like text becomes http://, an absolute path file://, never a path relative to
// the working folder); text that is no address at all is searched for instead.
QString AddressOrSearch(const QString &typed, const QString &searchSetting);
