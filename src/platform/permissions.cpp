#include "permissions.h"

std::optional<bool> PermissionMemory::answer(const QString &origin, int feature) const {
    const auto it = answers_.constFind(origin + QLatin1Char(' ') + QString::number(feature));
    if (it == answers_.constEnd()) return std::nullopt;
    return *it;
}

void PermissionMemory::remember(const QString &origin, int feature, bool allowed) {
    answers_.insert(origin + QLatin1Char(' ') + QString::number(feature), allowed);
}
