#include "downloadclaims.h"

#include <QFileInfo>
#include <QHash>

#include "core/downloadnames.h"

namespace downloadclaims {

namespace {
// One program, one set of running downloads: each path with how many hold it.
QHash<QString, int> &claimed() {
    static QHash<QString, int> paths;
    return paths;
}
void claim(const QString &path) {
    ++claimed()[path];
}
void release(const QString &path) {
    if (auto it = claimed().find(path); it != claimed().end() && --*it <= 0) claimed().erase(it);
}
bool taken(const QString &path) {
    return claimed().contains(path) || QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}
}  // namespace

QString ClaimPartial(const QString &target) {
    QString partial = PartialPath(target);
    for (int n = 1; taken(partial) && n < 100; ++n)
        partial = target + QStringLiteral(".%1.part").arg(n);
    claim(partial);
    return partial;
}

// The engine renames its file onto the name it was given once whole: a numbered name must be
// free as well as its ".download", or an unrelated file of that name would be replaced.
QString ClaimEnginePartial(const QString &target) {
    const QString suffix = QStringLiteral(".download");
    auto free = [&](const QString &landing) {
        return !taken(landing + suffix) && (landing == target || !taken(landing));
    };
    QString landing = target;
    for (int n = 1; !free(landing) && n < 100; ++n) landing = target + QStringLiteral(".%1").arg(n);
    claim(landing + suffix);
    return landing + suffix;
}

void ClaimTarget(const QString &target) {
    claim(target);
}

void Release(const QString &target, const QString &partial) {
    release(target);
    release(partial);
}

bool TargetClaimed(const QString &target) {
    return claimed().contains(target);
}

QString FreeTarget(const QString &target) {
    const QFileInfo info(target);
    const QString dir = info.path();
    const auto [stem, ext] = SplitExtension(info.fileName());
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("%1 (%2)").arg(stem).arg(n) + ext;
        const QString path = dir + QLatin1Char('/') + FittedFileName(name);
        if (!claimed().contains(path) && !QFileInfo::exists(path)) return path;
    }
}

}  // namespace downloadclaims
