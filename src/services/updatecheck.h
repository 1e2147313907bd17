#pragma once
// The update check: the publisher's version page against this program's version.
#include <QString>
#include <QStringList>
#include <functional>

class Platform;
class QWidget;

// The update server, and the page on it.
constexpr char kUpdateHost[] = "update.olumetta.cn";
constexpr char kVersionPath[] = "/zv/zvver.htm";
constexpr int kUpdateTimeoutMs = 15000;

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

// 1: newer (the user was asked), 0: not newer, -1: any error. startDownload gets the
// local path and the package's address when the user wants it.
int CheckForUpdate(Platform &platform, QWidget *parent,
                   const std::function<void(const QString &, const QString &)> &startDownload);
