#include "programfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace programfolder {

QString InstalledTemplate(const QString &binaryDir) {
    if (QFileInfo::exists(binaryDir + QStringLiteral("/config.ini"))) return {};
    const QString shared = QDir::cleanPath(binaryDir + QStringLiteral("/../share/olumetta"));
    if (!QFileInfo(shared + QStringLiteral("/config.ini")).isFile()) return {};
    return shared + QLatin1Char('/');
}

QString UserFolder() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    // XDG says a relative path there is to be ignored.
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data) + QStringLiteral("/olumetta/");
}

bool FillFromTemplate(const QString &templateDir, const QString &dir) {
    bool ok = QDir().mkpath(dir);
    const QDir from(templateDir);
    QDirIterator it(templateDir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo source(it.next());
        const QString target = QDir(dir).filePath(from.relativeFilePath(source.filePath()));
        if (source.isDir()) {
            ok = QDir().mkpath(target) && ok;
        } else if (!QFileInfo::exists(target)) {
            // Through a temporary name: a start cut short leaves no half file to be read.
            const QString part = target + QStringLiteral(".new");
            QFile::remove(part);
            ok = QFile::copy(source.filePath(), part) && QFile::rename(part, target) && ok;
            // An installed file is read-only; the user's copy is the user's to change.
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
        }
    }
    return ok;
}

}  // namespace programfolder
