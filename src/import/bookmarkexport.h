#pragma once
// "导出书签…": the whole bookmark folder as one Netscape bookmark file (UTF-8, its folders as
// levels), which other browsers import.
#include <QString>

class Dialogs;
class QWidget;

// Asks where, writes, and says how it went.
void ExportBookmarks(Dialogs &dialogs, QWidget *parent, const QString &folder);
