#include "settingfields.h"

#include <cmath>

#include "core/base64.h"
#include "core/numbers.h"
#include "core/store.h"

namespace settingform {

const QList<Field> &Fields() {
    using K = settings::Key;
    using C = Control;
    static const QList<Field> fields = {
        {K::HomePage, C::Text, "txtHome", 0},        {K::IEHomePage, C::Check, "chkHome", 0},
        {K::OpenNav, C::Check, "chkOpenNav", 0},     {K::OnOpen, C::Option, "optOpen", 2},
        {K::Update, C::Check, "chkUpdate", 0},       {K::Unload, C::Check, "chkUnload", 0},
        {K::AutoSet, C::Check, "chkAutoSet", 0},     {K::UseFilter, C::Check, "chkUseF", 0},
        {K::Filter, C::FilterBoxes, "chkFilter", 3}, {K::FilterText, C::Text, "txtFilter", 0},
        {K::AutoDelete, C::Check, "chkHistory", 0},  {K::SuperHide, C::Option, "optSH", 4},
        {K::SHCustom, C::Picture, "imgCustom", 0},   {K::SHKey, C::RestoreKey, "cmdKey", 0},
        {K::PassWord, C::NewPassword, "txtPass", 0}, {K::OpenPass, C::Check, "chkPass0", 0},
        {K::MinPass, C::Check, "chkPass1", 0},       {K::Parents, C::Check, "chkOpenP", 0},
        {K::Week1, C::List, "cboWeek0", 7},          {K::Week2, C::List, "cboWeek1", 7},
        {K::Time1, C::Text, "txtTime0", 0},          {K::Time2, C::Text, "txtTime1", 0},
        {K::UseMess, C::Check, "chkMess", 0},        {K::Mess, C::Message, "txtMess", 0},
        {K::Search, C::Option, "optSearch", 3},      {K::AutoDownload, C::Check, "chkAuto", 0},
    };
    return fields;
}

namespace {
// A whole number the text reads as; none for an empty text, a word or a fraction.
std::optional<int> whole(const QString &text) {
    bool ok = false;
    const double v = config::toNumber(text, &ok);
    if (!ok || v != std::floor(v) || std::fabs(v) > 1e9) return std::nullopt;
    return int(v);
}
}  // namespace

std::optional<bool> CheckFromText(const QString &text) {
    const auto v = whole(text);
    if (!v || (*v != 0 && *v != 1)) return std::nullopt;
    return *v == 1;
}

std::optional<int> OptionFromText(const QString &text, int choices) {
    const auto v = whole(text);
    if (!v || *v < 0 || *v >= choices) return std::nullopt;
    return v;
}

std::optional<int> ListFromText(const QString &text, int entries) {
    const auto v = whole(text);
    if (!v || *v < -1 || *v >= entries) return std::nullopt;
    return v;
}

std::optional<bool> FilterBoxFromText(const QString &filter, int box) {
    if (box >= filter.size()) return std::nullopt;  // a short value leaves the box as it was
    return CheckFromText(filter.at(box));
}

QString TextFromCheck(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString FilterFromBoxes(bool sexual, bool violent, bool own) {
    return TextFromCheck(sexual) + TextFromCheck(violent) + TextFromCheck(own);
}

QString OneLine(const QString &message) {
    QString out = message;
    out.remove(QLatin1Char('\r'));
    out.remove(QLatin1Char('\n'));
    return out;
}

std::optional<QString> StoredPassword(const QString &typed) {
    if (typed.isEmpty()) return std::nullopt;
    return Base64Encode(typed);
}

bool PasswordFits(const QString &typed) {
    return Base64Encode(typed).size() <= config::kValueBytes;
}

}  // namespace settingform
