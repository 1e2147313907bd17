#include "savedialog.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
    const QString path =
        dialogs.ShowSave(parent, QStringLiteral("下载文件另存为"), QStringLiteral("所有文件|*.*"),
                         QDir(folder).filePath(proposedName));
    if (!path.isEmpty()) dialogs.lastDownloadFolder = QFileInfo(path).absolutePath();
    return path;
}
