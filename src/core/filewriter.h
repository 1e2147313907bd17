#pragma once
// The one way the program writes a file. The new bytes go to a temporary file beside it and
// are checked (every byte written, flushed, no error, the full size) before the rename puts
// them in place; on any failure the temporary file goes and the old file stays byte for
// byte. A full disk must never leave an empty config.ini (and so no password).
#include <QByteArray>
#include <QString>

// What a write came to: no error, or why not, in words for the user ("磁盘空间不足").
struct WriteResult {
    QString error;
    explicit operator bool() const { return error.isEmpty(); }
};

enum class FileAccess {
    Private,  // a new file is the user's alone (0600): settings, history, sessions
    Shared,   // a new file as the user's umask says: launchers others may start
};

// An existing file keeps its mode; a new one gets the access asked for. The folder must exist.
WriteResult WriteFileWhole(const QString &path, const QByteArray &bytes,
                           FileAccess access = FileAccess::Private);

// The system's error number in words for the user.
QString WriteErrorText(int error);

namespace config {
// A folder and everything in it made the user's alone (0700 folders, 0600 files); symbolic
// links are not followed. onlyIfLoose: only when others can reach the folder itself.
void makePrivate(const QString &folder, bool onlyIfLoose = true);
// The suffix of the temporary files WriteFileWhole leaves when killed mid-write.
inline constexpr char kTemporaryMark[] = ".olw-";
}  // namespace config
