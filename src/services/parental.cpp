#include "parental.h"

#include "core/numbers.h"
#include "core/settings.h"

namespace {

bool inRange(int value, int first, int last) {
    if (first <= last) return value >= first && value <= last;
    return value >= first || value <= last;  // wraps around
}

int leading(const QString &text) {
    return config::leadingInt(text);
}

}  // namespace

bool BrowsingBlocked(const QDateTime &now, const ParentalSettings &s) {
    if (config::numberOrZero(s.parents) != 1) return false;
    const int day1 = config::saturatedAdd(leading(s.week1), 1),
              day2 = config::saturatedAdd(leading(s.week2), 1);
    // No last weekday chosen ("-1"): no day is restricted.
    if (day2 < 1) return false;
    if (!inRange(now.date().dayOfWeek(), day1, day2)) return false;
    return inRange(now.time().hour(), leading(s.time1), leading(s.time2));
}

ParentalSettings ReadParentalSettings() {
    using settings::Key;
    return {settings::Text(Key::Parents), settings::Text(Key::Week1), settings::Text(Key::Week2),
            settings::Text(Key::Time1), settings::Text(Key::Time2)};
}

QString ParentalMessage() {
    if (settings::IsOn(settings::Key::UseMess)) return settings::Text(settings::Key::Mess);
    return QStringLiteral("在家长控制限定的时间内不能使用Telvano！");
}
