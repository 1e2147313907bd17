#pragma once
// What a drag carries into the frame: files, a link, or text.
#include <QString>
#include <QStringList>

class QMimeData;

// What a drag brings: local files, a link or text. Dropped, the files, else the address to
// open: the link's, or the text as Enter takes it (an address or a search); none for
// anything else.
bool CanTakeDrop(const QMimeData *data);
struct DropContent {
    QStringList files;
    QString address, text;  // text: what the box shows of it
};
DropContent ReadDrop(const QMimeData *data);
