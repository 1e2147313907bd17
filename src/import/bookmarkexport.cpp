#include "bookmarkexport.h"

#include <QDir>
#include <QFileInfo>

#include "core/bookmarktree.h"
#include "core/filewriter.h"
#include "platform/dialogs.h"

void ExportBookmarks(Dialogs &dialogs, QWidget *parent, const QString &folder) {
    if (!QFileInfo(folder).isDir()) {
        dialogs.MsgBox(parent, QStringLiteral("书签文件夹丢失！"), QStringLiteral("错误"),
                       Dialogs::Exclamation);
        return;
    }
    const QString path =
        dialogs.ShowSave(parent, QStringLiteral("导出书签"), QStringLiteral("HTML 文件|*.html"),
                         QDir::homePath() + QStringLiteral("/bookmarks.html"));
    if (path.isEmpty()) return;
    const BookmarkFolder tree = ReadBookmarkFolder(folder);
    if (const WriteResult written = WriteFileWhole(path, BookmarkHtml(tree)); !written) {
        dialogs.MsgBox(parent, QStringLiteral("无法写入 %1：%2").arg(path, written.error),
                       QStringLiteral("导出书签"), Dialogs::Exclamation);
        return;
    }
    dialogs.Notice(parent, QStringLiteral("已将 %1 个书签导出到 %2。").arg(tree.count()).arg(path),
                   QStringLiteral("导出书签"), Dialogs::Information);
}
