#pragma once
// Versions as the publisher's page gives them, compared with this program's.
#include <QString>
#include <QStringList>

struct Version {
    int major = 0, minor = 0, revision = 0;
};
constexpr Version kProgramVersion{1, 1, 0};

// Major, minor and revision from the page's first three fields (leading numbers).
Version PublishedVersion(const QStringList &fields);
// In order: a lower version is never newer.
bool IsNewer(const Version &published, const Version &own);
// The question asked when a newer version is published (six fields).
QString UpdateQuestion(const Version &own, const QStringList &fields);
