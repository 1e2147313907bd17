#include "resumerules.h"

#include <QFile>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace resume {

namespace {

const QString kWrongRange = QStringLiteral("服务器返回的范围与请求不符");
const QString kWrongTotal = QStringLiteral("服务器报告的文件大小不符");
const QString kWrongLength = QStringLiteral("服务器返回的长度与范围不符");
const QString kChanged = QStringLiteral("服务器上的文件已更改");
const QString kNoRanges = QStringLiteral("服务器不支持断点续传");

Decision fail(const QString &reason) {
    return {Verdict::Fail, std::nullopt, {}, reason};
}

QString restarted(const QString &why) {
    return QStringLiteral("   ") + why + QStringLiteral("，已重新开始");
}

// A page's request is never made again, and the whole is asked for once only: a server that
// answers falsely again ends the task with why.
Decision again(const Request &q, const QString &why) {
    if (q.page || q.wholeAsked) return fail(why);
    return {Verdict::AskWhole, std::nullopt, restarted(why), {}};
}

// Digits only: no sign, no space, nothing a number parser would forgive.
bool number(const QByteArray &text, qint64 &out) {
    if (text.isEmpty() || text.size() > 18) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    out = text.toLongLong();
    return true;
}

// Why a 206 is not the rest that was asked for (empty when it is), and the whole size.
QString falseRange(const Request &q, const Answer &a, std::optional<qint64> &total) {
    const auto r = ParseContentRange(a.contentRange);
    if (!r || r->first != q.from) return kWrongRange;
    if (r->total && q.total && *r->total != *q.total) return kWrongTotal;
    total = r->total ? r->total : q.total;
    if (total && r->last + 1 != *total) return kWrongRange;  // the rest runs to the end
    if (a.length && *a.length != r->last - r->first + 1) return kWrongLength;
    if (!total) total = r->last + 1;
    return {};
}

}  // namespace

std::optional<ContentRange> ParseContentRange(const QByteArray &header) {
    const QByteArray h = header.trimmed();
    if (!h.startsWith("bytes ")) return std::nullopt;
    const QByteArray value = h.mid(6).trimmed();
    const qsizetype slash = value.indexOf('/');
    if (slash < 0) return std::nullopt;
    const QByteArray range = value.left(slash).trimmed(), size = value.mid(slash + 1).trimmed();
    ContentRange r;
    qint64 n = 0;
    if (size != "*") {
        if (!number(size, n)) return std::nullopt;
        r.total = n;
    }
    if (range == "*") return r.total ? std::optional(r) : std::nullopt;
    const qsizetype dash = range.indexOf('-');
    if (dash < 0 || !number(range.left(dash), r.first) || !number(range.mid(dash + 1), r.last))
        return std::nullopt;
    if (r.last < r.first || (r.total && r.last >= *r.total)) return std::nullopt;
    return r;
}

Decision Judge(const Request &q, const Answer &a) {
    const bool ranged = q.from > 0;
    if (ranged && (a.status == 412 || a.status == 416)) {
        const auto r = ParseContentRange(a.contentRange);
        // Asked from the very end of the size known: the file was whole already.
        if (a.status == 416 && r && r->first < 0 && r->total == q.from &&
            (!q.total || *q.total == q.from))
            return {Verdict::Complete, q.from, {}, {}};
        return again(q, kChanged);
    }
    if (a.status >= 400) return fail(QStringLiteral("服务器错误 %1").arg(a.status));
    if (a.status == 206) {
        std::optional<qint64> total;
        const QString why = falseRange(q, a, total);
        if (!why.isEmpty()) return again(q, why);
        return {ranged ? Verdict::Append : Verdict::Write, total, {}, {}};
    }
    if (!ranged) return {Verdict::Write, a.length, {}, {}};
    // All of it, to a request for the rest: another version, or a server without ranges.
    if (q.page) return fail(kNoRanges);
    const bool changed = !q.validator.isEmpty() && a.validator != q.validator;
    return {Verdict::Write, a.length, restarted(changed ? kChanged : kNoRanges), {}};
}

qint64 StartAt(qint64 written, std::optional<qint64> partialSize, std::optional<qint64> total) {
    if (!partialSize || *partialSize != written || (total && written > *total)) return 0;
    return written;
}

FileMode ModeFor(Verdict verdict, qint64 from) {
    if (verdict == Verdict::Append) return FileMode::Append;
    return from > 0 ? FileMode::Truncate : FileMode::New;
}

bool OpenPartial(QFile &file, const QString &path, FileMode mode) {
    // Non-blocking: a FIFO put in its place must not hold the program up.
    int flags = O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    flags |= mode == FileMode::New      ? O_CREAT | O_EXCL
             : mode == FileMode::Append ? O_APPEND
                                        : O_CREAT | O_TRUNC;
    const int fd = ::open(QFile::encodeName(path).constData(), flags, 0666);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EACCES;
        return false;
    }
    file.setFileName(path);
    const QIODevice::OpenMode open =
        QIODevice::WriteOnly | (mode == FileMode::Append ? QIODevice::Append : QIODevice::NotOpen);
    if (file.open(fd, open, QFileDevice::AutoCloseHandle)) return true;
    ::close(fd);
    return false;
}

}  // namespace resume
