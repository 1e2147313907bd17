#pragma once
// The update check: the publisher's version page against this program's version.
#include <QString>
#include <QStringList>
#include <functional>

#include "version.h"

class Platform;
class QWidget;

// The update server, and the page on it.
constexpr char kUpdateHost[] = "update.olumetta.cn";
constexpr char kVersionPath[] = "/zv/zvver.htm";
constexpr int kUpdateTimeoutMs = 15000;

// 1: newer (the user was asked), 0: not newer, -1: any error. startDownload gets the
// local path and the package's address when the user wants it.
int CheckForUpdate(Platform &platform, QWidget *parent,
                   const std::function<void(const QString &, const QString &)> &startDownload);
// The same from the menu: says what it found when there is nothing to offer.
void CheckForUpdateAndSay(
    Platform &platform, QWidget *parent,
    const std::function<void(const QString &, const QString &)> &startDownload);
