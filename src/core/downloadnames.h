#pragma once
// The name a download is proposed under, and putting a finished file in its place.
#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>

// The file name a Content-Disposition header gives ("filename*" before "filename"), as
// the server wrote it; empty when it gives none.
QString ContentDispositionName(const QByteArray &header);

// A download's name and its partial file's ("<name>.<n>.part", to which the web engine adds
// ".download" while it writes) all fit the file system's 255 bytes: names are kept to this
// many bytes of UTF-8.
constexpr qsizetype kMaxNameBytes = 255 - 8 - 9;
// The name shortened to kMaxNameBytes in its stem, the extension kept, never inside a
// character; a name that fits stays as it is.
QString FittedFileName(const QString &name);
// The same for the last segment of a path (a name typed into the save dialog).
QString FittedPath(const QString &path);

// A name that stays in the folder it is saved into: the last segment of anything that
// looks like a path, without control characters, leading or trailing dots and spaces,
// fitted as above. Empty when nothing usable is left.
QString SafeFileName(const QString &name);
// A file name's stem and extension (with its dot, or empty), where a numbered copy goes
// between them: "x.tar.gz" is "x" and ".tar.gz", as archives' extensions keep together.
std::pair<QString, QString> SplitExtension(const QString &fileName);

// What the save dialog proposes: the server's (or engine's) name, else the address's,
// else a placeholder.
QString ProposedFileName(const QString &suggested, const QString &url);

// Where a download is written until it is whole.
QString PartialPath(const QString &target);
// Whether partial is a name a task gives its target's partial file: "<target>.part" or
// "<target>.<n>.part"; for a page's download also the engine's "<target>.download" or
// "<target>.<n>.download". The target must be an absolute path with no "." or ".." in it.
bool IsOwnPartial(const QString &target, const QString &partial, bool page);

// The size of a regular file at path, never through a link; none for anything else.
std::optional<qint64> PlainFileSize(const QString &path);
// Which file is at path (device and inode), a link itself not followed; none when nothing is.
std::optional<std::pair<quint64, quint64>> FileIdentity(const QString &path);

// Moves the finished file onto the target in one step: an existing file there is
// replaced only now, and never left half-replaced.
bool ReplaceFile(const QString &from, const QString &to);
// The same only while nothing is at to (no file, no link): false, errno EEXIST, when something is.
bool MoveToFreeName(const QString &from, const QString &to);
