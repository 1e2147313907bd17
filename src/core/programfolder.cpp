#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
QList<const ProgramFolderSource *> &sources() {
    static QList<const ProgramFolderSource *> alive;  // oldest first
    return alive;
}
}  // namespace

ProgramFolderSource::ProgramFolderSource() {
    sources().append(this);
}

ProgramFolderSource::~ProgramFolderSource() {
    sources().removeOne(this);
}

QString AppDir() {
    for (qsizetype i = sources().size() - 1; i >= 0; --i)
        if (const QString dir = sources()[i]->programFolder(); !dir.isEmpty())
            return config::withTrailingSlash(dir);
    return config::defaultProgramFolder();
}

namespace config {

QString withTrailingSlash(const QString &dir) {
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

QString binaryDir() {
    // Before the application object exists (the hand-off runs that early) ask the system.
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                        : QFileInfo(QStringLiteral("/proc/self/exe"))
                                              .canonicalFilePath()
                                              .section(QLatin1Char('/'), 0, -2);
}

QString installedTemplate() {
    static const QString found = programfolder::InstalledTemplate(binaryDir());
    return found;
}

QString defaultProgramFolder() {
    // The binary does not move while it runs: decided once.
    static const QString dir = [] {
        if (!installedTemplate().isEmpty()) return programfolder::UserFolder();
        const QString binary = binaryDir();
        return withTrailingSlash(binary.isEmpty() ? QStringLiteral("/") : binary);
    }();
    return dir;
}

QString configPath() {
    return AppDir() + QStringLiteral("config.ini");
}

QString localPath(const QString &stored) {
    QString p = stored;
    return p.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

}  // namespace config

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
    // The user's alone: it holds the password and what was browsed.
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
            // An installed file is read-only; the user's copy is the user's alone to change.
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        }
    }
    return ok;
}

}  // namespace programfolder
