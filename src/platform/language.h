#pragma once
// The program speaks Chinese everywhere: Qt's own dialogs and menus, the web engine's
// context menu and error pages, and the language it asks web servers for.

// Before the web engine starts: the default locale and Qt's Chinese translations.
void UseChineseInterface();

constexpr const char *kAcceptLanguage = "zh-CN,zh;q=0.9";
