#include "settings.h"

#include <algorithm>
#include <cmath>

#include "numbers.h"
#include "programfolder.h"
#include "store.h"

namespace settings {

const QList<Entry> &Table() {
    using K = Key;
    using R = Rule;
    static const QList<Entry> table = {
        {K::HomePage, "Setting", "HomePage", Kind::Text, R::None, "https://www.baidu.com/"},
        {K::IEHomePage, "Setting", "IEHomePage", Kind::Flag, R::NumberIsOne, "1"},
        {K::OnOpen, "Setting", "OnOpen", Kind::Flag, R::NumberIsOne, "0"},
        {K::LastPage, "Setting", "LastPage", Kind::Text, R::None, ""},
        {K::OpenNav, "Setting", "OpenNav", Kind::Flag, R::OneOrUnreadable, "0"},
        {K::OpenPass, "Setting", "OpenPass", Kind::Flag, R::OneOrUnreadable, "0"},
        {K::MinPass, "Setting", "MinPass", Kind::Flag, R::OneOrUnreadable, "0"},
        {K::PassWord, "Setting", "PassWord", Kind::Base64Text, R::None, ""},
        {K::Zoom, "Setting", "Zoom", Kind::Number, R::None, "100"},
        {K::Search, "Setting", "Search", Kind::Index, R::None, "0"},
        {K::Mouse, "Setting", "Mouse", Kind::Flag, R::TextIsOne, "1"},
        {K::StBar, "Setting", "StBar", Kind::Flag, R::NumberIsNotZero, "1"},
        {K::PrBar, "Setting", "PrBar", Kind::Flag, R::NumberIsNotZero, "1"},
        {K::SHKey, "Setting", "SHKey", Kind::Text, R::None, "z"},
        {K::SuperHide, "Setting", "SuperHide", Kind::Flag, R::NumberIsOne, "0"},
        {K::SHCustom, "Setting", "SHCustom", Kind::Text, R::None, ""},
        {K::AutoSet, "Setting", "AutoSet", Kind::Flag, R::NumberIsOne, "0"},
        {K::Update, "Setting", "Update", Kind::Flag, R::NumberIsOne, "0"},
        {K::Unload, "Setting", "Unload", Kind::Flag, R::TextIsOne, "1"},
        {K::AutoDelete, "Setting", "AutoDelete", Kind::Flag, R::OneOrUnreadable, "0"},
        {K::UseFilter, "Setting", "UseFilter", Kind::Flag, R::NumberIsOne, "0"},
        {K::Filter, "Setting", "Filter", Kind::Text, R::None, "100"},
        {K::FilterText, "Setting", "FilterText", Kind::Text, R::None, ""},
        {K::Parents, "Setting", "Parents", Kind::Flag, R::NumberIsOne, "0"},
        {K::Week1, "Setting", "Week1", Kind::Number, R::None, "-1"},
        {K::Week2, "Setting", "Week2", Kind::Number, R::None, "-1"},
        {K::Time1, "Setting", "Time1", Kind::Number, R::None, "0"},
        {K::Time2, "Setting", "Time2", Kind::Number, R::None, "0"},
        {K::UseMess, "Setting", "UseMess", Kind::Flag, R::NumberIsOne, "0"},
        {K::Mess, "Setting", "Mess", Kind::Text, R::None, ""},
        {K::AutoDownload, "Setting", "AutoDownload", Kind::Flag, R::TextIsNotZero, "1"},
        {K::TabsInMemory, "Setting", "TabsInMemory", Kind::Number, R::None, nullptr},
        {K::Theme, "Theme", "Theme", Kind::Text, R::None, "默认.ini"},
        {K::Custom, "Mouse", "Custom", Kind::Number, R::None, "0"},
    };
    return table;
}

const Entry &EntryOf(Key key) {
    return Table().at(int(key));  // the table lists the keys in their order
}

// [Setting] and [Theme] through their own store functions, the one way to config.ini;
// [Mouse] as the store reads any section.
QString Text(Key key) {
    const Entry &e = EntryOf(key);
    const QString name = QString::fromLatin1(e.name);
    if (qstrcmp(e.section, "Setting") == 0) return ReadSetting(name);
    if (qstrcmp(e.section, "Theme") == 0) return ReadThemeKey(name);
    return ReadIni(QString::fromLatin1(e.section), name, config::configPath());
}

bool FlagFromText(Rule rule, const QString &text) {
    switch (rule) {
        case Rule::TextIsOne:
            return text == QLatin1String("1");
        case Rule::NumberIsOne:
            return config::numberOrZero(text) == 1;
        case Rule::NumberIsNotZero:
            return config::numberOrZero(text) != 0;
        case Rule::OneOrUnreadable:
            return config::oneOrUnreadable(text);
        case Rule::TextIsNotZero:
            return text != QLatin1String("0");
        case Rule::None:
            break;
    }
    return false;
}

bool IsOn(Key key) {
    return FlagFromText(EntryOf(key).rule, Text(key));
}

double Number(Key key) {
    return config::numberOrZero(Text(key));
}

QList<UserGesture> UserGestures() {
    return UserGesturesFrom(ReadFileBytes(config::configPath()));
}

QList<UserGesture> UserGesturesFrom(const QByteArray &file) {
    const Entry &custom = EntryOf(Key::Custom);
    const QString section = QString::fromLatin1(custom.section);
    const double n = config::leadingNumber(ReadIniFrom(file, section, custom.name));
    QList<UserGesture> out;
    const int count = std::isnan(n) ? 0 : int(std::clamp(std::round(n), 0.0, 32767.0));
    for (int i = 1; i <= count; ++i) {
        const QString c = QStringLiteral("c%1").arg(i);
        if (!IniHasKey(file, section, c)) continue;
        out.append({ReadIniFrom(file, section, c),
                    ReadIniFrom(file, section, QStringLiteral("m%1").arg(i))});
    }
    return out;
}

int Leading(Key key) {
    return config::leadingInt(Text(key));
}

WriteResult Write(Key key, const QString &value) {
    const Entry &e = EntryOf(key);
    const QString name = QString::fromLatin1(e.name);
    if (qstrcmp(e.section, "Setting") == 0) return WriteSetting(name, value);
    if (qstrcmp(e.section, "Theme") == 0) return WriteThemeKey(name, value);
    return WriteIni(QString::fromLatin1(e.section), name, value, config::configPath());
}

WriteResult Write(Key key, const char *value) {
    return Write(key, QString::fromUtf8(value));
}

WriteResult Write(Key key, bool on) {
    return Write(key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

WriteResult Write(Key key, int value) {
    return Write(key, QString::number(value));
}

}  // namespace settings
