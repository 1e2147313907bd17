#pragma once
// Where the user saves a download: the save dialog with the proposed name, opened in the
// folder last used, at first in the user's download folder.
#include <QString>

class Dialogs;
class QWidget;

// The user's download folder: XDG's DOWNLOAD, else ~/Downloads; made when missing.
QString UserDownloadFolder();
// The chosen path, empty when the dialog was cancelled.
QString AskDownloadPath(Dialogs &dialogs, QWidget *parent, const QString &proposedName);
