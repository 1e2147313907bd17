#include "savedialog.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/dialogs.h"

namespace {
QString &lastFolder() {
    static QString folder;  // for this run of the program
    return folder;
}
}  // namespace

QString UserDownloadFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty()) folder = QDir::homePath() + QStringLiteral("/Downloads");
    QDir().mkpath(folder);
    return folder;
}

QString AskDownloadPath(Dialogs &dialogs, QWidget *parent, const QString &proposedName) {
    QString folder = lastFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = UserDownloadFolder();
    const QString path =
        dialogs.ShowSave(parent, QStringLiteral("下载文件另存为"), QStringLiteral("所有文件|*.*"),
                         QDir(folder).filePath(proposedName));
    if (!path.isEmpty()) lastFolder() = QFileInfo(path).absolutePath();
    return path;
}
