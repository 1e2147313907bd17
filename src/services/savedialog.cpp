#include "savedialog.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "downloadclaims.h"
#include "platform/dialogs.h"

QString UserDownloadFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty()) folder = QDir::homePath() + QStringLiteral("/Downloads");
    QDir().mkpath(folder);
    return folder;
}

QString AskDownloadPath(Dialogs &dialogs, QWidget *parent, const QString &proposedName) {
    QString folder = dialogs.lastDownloadFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = UserDownloadFolder();
    QString path = QDir(folder).filePath(proposedName);
    // The target of a running download is asked for again, "<stem> (1).<ext>" proposed:
    // two tasks never write one file.
    do {
        path = dialogs.ShowSave(
            parent, QStringLiteral("下载文件另存为"), QStringLiteral("所有文件|*.*"),
            downloadclaims::TargetClaimed(path) ? downloadclaims::FreeTarget(path) : path);
    } while (!path.isEmpty() && downloadclaims::TargetClaimed(path));
    if (!path.isEmpty()) dialogs.lastDownloadFolder = QFileInfo(path).absolutePath();
    return path;
}
