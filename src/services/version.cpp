#include "version.h"

#include "core/numbers.h"

Version PublishedVersion(const QStringList &fields) {
    return {config::leadingInt(fields.value(0)), config::leadingInt(fields.value(1)),
            config::leadingInt(fields.value(2))};
}

bool IsNewer(const Version &p, const Version &own) {
    if (p.major != own.major) return p.major > own.major;
    if (p.minor != own.minor) return p.minor > own.minor;
    return p.revision > own.revision;
}

QString UpdateQuestion(const Version &own, const QStringList &f) {
    return QStringList{
        QStringLiteral("发现新版本："),
        QStringLiteral("程序版本: %1.%2.%3").arg(own.major).arg(own.minor).arg(own.revision),
        QStringLiteral("新版本: ") + f[0] + QLatin1Char('.') + f[1] + QLatin1Char('.') + f[2],
        QStringLiteral("更新时间: ") + f[4],
        f[5],
        QStringLiteral("是否下载？")}
        .join(QStringLiteral("\r\n"));
}
