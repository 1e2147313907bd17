#include "testfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "core/config.h"

namespace {
void copyTree(const QString &from, const QString &to, bool withBinary) {
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString rel = QDir(from).relativeFilePath(src);
        if (rel.startsWith("数据/profile") || rel.startsWith("数据/cache")) continue;
        if (!withBinary && (rel == "olumetta" || rel == "olumetta-ini")) continue;
        if (it.fileInfo().isDir())
            QDir().mkpath(to + "/" + rel);
        else
            QFile::copy(src, to + "/" + rel);
    }
}
}  // namespace

TestFolder::TestFolder(bool withBinary) {
    copyTree(OLUMETTA_PROGRAM_DIR, dir_.path(), withBinary);
}

TestFolder::~TestFolder() {
    config::setAppDirOverride(QString());
}

void TestFolder::useAsAppDir() const {
    config::setAppDirOverride(dir_.path());
}

QByteArray ReadBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}
