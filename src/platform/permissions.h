#pragma once
#include <QHash>
#include <QString>
#include <optional>

// Answers to the features pages ask for, per site, for this session: a site is asked once.
class PermissionMemory {
  public:
    std::optional<bool> answer(const QString &origin, int feature) const;
    void remember(const QString &origin, int feature, bool allowed);

  private:
    QHash<QString, bool> answers_;
};
