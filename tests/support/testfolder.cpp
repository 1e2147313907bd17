#include "testfolder.h"

#include <sys/stat.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "core/programfolder.h"

namespace {
void copyTree(const QString &from, const QString &to) {
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString rel = QDir(from).relativeFilePath(src);
        if (it.fileInfo().isDir())
            QDir().mkpath(to + "/" + rel);
        else
            QFile::copy(src, to + "/" + rel);
    }
}
}  // namespace

TestFolder::TestFolder(bool withBinary) {
    // The clean template, never the user's program folder: what a user set there must not
    // change what a test sees.
    copyTree(OLUMETTA_TEMPLATE_DIR, dir_.path());
    if (withBinary)
        for (const char *name : {"olumetta", "olumetta-browser.so", "olumetta-ini"})
            QFile::copy(QFileInfo(OLUMETTA_BINARY).dir().filePath(name), file(name));
}

TestFolder::~TestFolder() = default;

void TestFolder::useAsAppDir() const {
    use_ = std::make_unique<UseFolder>(dir_.path());
}

QByteArray ReadBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int ModeOf(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

void WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

QMap<QString, QByteArray> FilesUnder(const QString &root) {
    QMap<QString, QByteArray> out;
    for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        QFile f(path);
        out.insert(QDir(root).relativeFilePath(path),
                   f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    }
    return out;
}
