#pragma once
// What a download makes of its server's answers when it goes on from a byte: where it starts,
// whether a 206 is the rest it asked for, what a 200, 412 or 416 says, and how its partial
// file is opened. Nothing the server says is taken on trust: a range that does not start
// where it was asked or disagrees with the size known is no part of the file.
#include <QByteArray>
#include <QString>
#include <optional>

class QFile;

namespace resume {

// "bytes 100-199/1000"; total none for "*"; "bytes */1000" (a 416's) has first and last -1.
struct ContentRange {
    qint64 first = -1, last = -1;
    std::optional<qint64> total;
};
std::optional<ContentRange> ParseContentRange(const QByteArray &header);

struct Request {
    qint64 from = 0;              // the first byte asked for; 0: the whole
    QByteArray validator;         // sent as If-Range; empty when none was
    std::optional<qint64> total;  // the file's size as its first answer gave it
    bool page = false;            // a page's download: the whole is never fetched twice
    bool wholeAsked = false;      // the whole was already asked for again once
};

struct Answer {
    int status = 0;
    QByteArray contentRange;
    std::optional<qint64> length;  // Content-Length
    QByteArray validator;          // the answer's strong ETag, else its Last-Modified
};

enum class Verdict {
    Append,    // the rest: added to the partial file
    Write,     // the whole: the partial file written from its start
    Complete,  // the partial file held it all already
    AskWhole,  // a false or changed answer: the whole is asked for again, once
    Fail,
};

struct Decision {
    Verdict verdict = Verdict::Fail;
    std::optional<qint64> total;  // the whole size from now on
    QString note;                 // why it started again, said to the end
    QString reason;               // why it failed
};

Decision Judge(const Request &request, const Answer &answer);

// Where a task goes on from: the end of its partial file when that holds what the task wrote
// (and no more than the file's size), else from nothing.
qint64 StartAt(qint64 written, std::optional<qint64> partialSize, std::optional<qint64> total);

enum class FileMode { New, Append, Truncate };
// A whole from the start goes into a new file of its own, one after a resume over the part.
FileMode ModeFor(Verdict verdict, qint64 from);
// Opens the partial file so, never through a link: a part made a link meanwhile is refused.
bool OpenPartial(QFile &file, const QString &path, FileMode mode);

}  // namespace resume
