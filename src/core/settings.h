#pragma once
// Every key of config.ini: its section, its kind and how it is read. Readers, the settings
// dialog and the tests walk this one table; no key's name is written anywhere else. Nothing
// is cached: every read opens the file, so a change made elsewhere is seen at once.
#include <QByteArray>
#include <QList>
#include <QString>

#include "filewriter.h"

namespace settings {

enum class Key {
    // [Setting]
    HomePage,
    IEHomePage,
    OnOpen,
    LastPage,
    OpenNav,
    OpenPass,
    MinPass,
    PassWord,
    Zoom,
    Search,
    Mouse,
    StBar,
    PrBar,
    SHKey,
    SuperHide,
    SHCustom,
    AutoSet,
    Update,
    Unload,
    AutoDelete,
    UseFilter,
    Filter,
    FilterText,
    Parents,
    Week1,
    Week2,
    Time1,
    Time2,
    UseMess,
    Mess,
    AutoDownload,
    TabsInMemory,
    // [Theme]
    Theme,
    // [Mouse]
    Custom,
};

enum class Kind {
    Flag,        // on or off, by the key's rule
    Number,      // a number; one that cannot be read counts as 0
    Text,        // as stored
    Base64Text,  // the Base64 of the code-page bytes (the password)
    Index,       // one of a list, by its digit ("Search")
};

// How a flag is read: the Parts differ from key to key.
enum class Rule {
    TextIsOne,        // on only when the text is exactly "1"
    NumberIsOne,      // read as a number (unreadable: 0); on when it is 1
    NumberIsNotZero,  // read as a number (unreadable: 0); on unless it is 0
    OneOrUnreadable,  // on when it is 1 or cannot be read as a number at all
    TextIsNotZero,    // on unless the text is exactly "0"
    None,             // not a flag
};

struct Entry {
    Key key;
    const char *section;
    const char *name;
    Kind kind;
    Rule rule;
    const char *shipped;  // the value config.ini ships with; none: it ships without the key
};

const QList<Entry> &Table();
const Entry &EntryOf(Key key);

QString Text(Key key);   // the stored text: trimmed, at most 127 bytes, empty when missing
bool IsOn(Key key);      // a flag by its rule
double Number(Key key);  // a number; what cannot be read counts as 0
int Leading(Key key);    // the whole number the text starts with ("150%" gives 150), or 0
WriteResult Write(Key key, const QString &value);
WriteResult Write(Key key, const char *value);  // text, never taken for a flag
WriteResult Write(Key key, bool on);            // "1" or "0"
WriteResult Write(Key key, int value);

// The user's own gestures of section "Mouse": for each entry up to "Custom" (a whole 16-bit
// count; missing or not a number: none) whose "c"+i key is written (empty is a gesture of
// its own, a plain click; a gap in the numbering is none), "c"+i the gesture and "m"+i what
// it opens.
struct UserGesture {
    QString gesture, command;
};
QList<UserGesture> UserGestures();
QList<UserGesture> UserGesturesFrom(const QByteArray &configFile);

// A flag's rule applied to a stored text; what IsOn does after reading.
bool FlagFromText(Rule rule, const QString &text);

}  // namespace settings
