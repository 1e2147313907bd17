#pragma once
// The files the running downloads of this program write: each task's target and its own
// partial file. A partial file is "<name>.part" when that name is free, else
// "<name>.<n>.part"; a target a running task holds is not given to a second one.
#include <QString>

namespace downloadclaims {

// Claims a free partial file for the target (none on disk, none claimed): its path.
QString ClaimPartial(const QString &target);
// The same for the engine, which writes "<name>.download" (or "<name>.<n>.download") and
// renames it to what precedes the suffix itself when whole.
QString ClaimEnginePartial(const QString &target);
void ClaimTarget(const QString &target);
// What a task held, free again once it ended.
void Release(const QString &target, const QString &partial);
bool TargetClaimed(const QString &target);
// "<stem> (1).<ext>", "(2)" …: the first name no running task holds and no file has.
QString FreeTarget(const QString &target);

}  // namespace downloadclaims
