#pragma once
// What the address box suggests while the user types: the addresses that hold the typed
// text anywhere, letter case aside, the newest first.
#include <QStringList>

QStringList Suggestions(const QStringList &newestLast, const QString &typed, int max = 10);
