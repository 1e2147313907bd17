#pragma once
// Parental control: the browser refuses to start on the chosen weekdays during the
// chosen hours. Ranges whose first value is after the last wrap around (Friday to
// Monday, 22 to 6).
#include <QDateTime>
#include <QString>

struct ParentalSettings {
    QString parents, week1, week2, time1, time2;
};

bool BrowsingBlocked(const QDateTime &now, const ParentalSettings &settings);
ParentalSettings ReadParentalSettings();
// The message shown when blocked: the user's own, or ours.
QString ParentalMessage();
