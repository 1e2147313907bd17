#include "filewriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstring>

QString WriteErrorText(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("磁盘空间不足");
        case EACCES:
        case EPERM:
            return QStringLiteral("没有写入权限");
        case EROFS:
            return QStringLiteral("磁盘是只读的");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("文件夹不存在");
        case EIO:
            return QStringLiteral("读写磁盘出错");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

namespace {

// Writes it all through; false with errno set on the first failure.
bool writeAll(int fd, const QByteArray &bytes) {
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

}  // namespace

WriteResult WriteFileWhole(const QString &path, const QByteArray &bytes, FileAccess access) {
    const QByteArray target = QFile::encodeName(path);
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return {WriteErrorText(EISDIR)};
    // A file made read-only stays as it is, even where the rename could replace it.
    if (exists && (!(old.st_mode & S_IWUSR) || ::access(target.constData(), W_OK) != 0))
        return {WriteErrorText(EACCES)};
    const mode_t mode = exists                          ? (old.st_mode & 07777)
                        : access == FileAccess::Private ? 0600
                                                        : 0666;  // less the umask at open
    QByteArray temp;
    int fd = -1;
    // A name near the system's limit leaves no room for the suffix: the temporary file then
    // goes by the suffix alone, in the same folder.
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray stem =
        target.size() - slash - 1 + 12 <= NAME_MAX ? target : target.left(slash + 1);
    for (int tries = 0; fd < 0 && tries < 16; ++tries) {
        temp = stem + config::kTemporaryMark +
               QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) return {WriteErrorText(errno)};
    }
    if (fd < 0) return {WriteErrorText(EEXIST)};
    int error = 0;
    struct stat written {};
    if (!writeAll(fd, bytes)) error = errno;
    // The bytes on the disk: a file system that reserves space late says so here.
    else if (::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS)
        error = errno;
    else if (::fstat(fd, &written) != 0)
        error = errno;
    else if (written.st_size != bytes.size())
        error = EIO;
    else if (exists && ::fchmod(fd, mode) != 0)
        error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    if (!error && ::rename(temp.constData(), target.constData()) != 0) error = errno;
    if (error) {
        ::unlink(temp.constData());
        return {WriteErrorText(error)};
    }
    return {};
}

namespace config {

void makePrivate(const QString &folder, bool onlyIfLoose) {
    const QByteArray top = QFile::encodeName(folder);
    struct stat st {};
    // Already the user's alone: what is inside cannot be reached by others.
    if (::stat(top.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    if (onlyIfLoose && !(st.st_mode & 077)) return;
    ::chmod(top.constData(), 0700);
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QByteArray p = QFile::encodeName(it.next());
        if (::lstat(p.constData(), &st) != 0 || S_ISLNK(st.st_mode)) continue;
        ::chmod(p.constData(), S_ISDIR(st.st_mode) ? 0700 : (st.st_mode & 0700) | 0600);
    }
}

}  // namespace config
