#pragma once
// What the engine and Qt say on every ordinary start (no GL under a virtual display, no
// runtime folder, its whole set-up dump) is no problem of the user's: kept off standard
// error unless a developer asks for it with QT_LOGGING_RULES. Anything else still shows.
#include <QString>

void QuietenEngineLogging();
// True for a message that says nothing wrong on an ordinary start.
bool IsRoutineEngineMessage(const QString &category, const QString &message);
