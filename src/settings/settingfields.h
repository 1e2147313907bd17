#pragma once
// The settings dialog's fields: which key each control holds, what kind of control it is,
// and how a stored text becomes a control's state and back. The dialog loads and applies by
// walking this one list, in its order.
#include <QList>
#include <QString>
#include <optional>

#include "core/settings.h"

namespace settingform {

enum class Control {
    Text,         // a text box, stored as typed
    Check,        // "0" / "1"
    Option,       // one of a group of option buttons, by index
    List,         // a list's index; "-1" when nothing is chosen
    FilterBoxes,  // three check boxes, one digit each
    Picture,      // the custom disguise picture's path
    RestoreKey,   // the boss key's restore character
    NewPassword,  // empty: keep the stored password
    Message,      // several lines typed, one line stored
};

struct Field {
    settings::Key key;
    Control control;
    const char *control_name;  // the control's object name (option groups: their prefix)
    int choices;               // options or list entries; 0 for the others
};

// Every field, in the order the dialog loads them and Apply writes them.
const QList<Field> &Fields();

// Loading: what a stored text sets, or none when the step fails and the control stays as
// laid out (an absent key, a word where a number belongs, an index out of range).
std::optional<bool> CheckFromText(const QString &text);
std::optional<int> OptionFromText(const QString &text, int choices);
std::optional<int> ListFromText(const QString &text, int entries);  // -1: nothing chosen
std::optional<bool> FilterBoxFromText(const QString &filter, int box);

// Applying.
QString TextFromCheck(bool on);
QString FilterFromBoxes(bool sexual, bool violent, bool own);
QString OneLine(const QString &message);  // line breaks removed
std::optional<QString> StoredPassword(const QString &typed);
// Whether the stored form of the password (Base64 of its code-page bytes) is read back
// whole: the store reads at most 127 bytes, so 93 bytes in the code page.
bool PasswordFits(const QString &typed);
constexpr int kMaxPasswordBytes = 93;  // none: keep the stored one

constexpr int kMessageLength = 63;  // characters of the parental message

}  // namespace settingform
