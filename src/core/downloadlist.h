#pragma once
// The download manager's list kept across starts, one task a line: how it ended (or that it
// was cut short, to go on from its partial file), its file, partial file, address, bytes, the
// server's version of the file, and whether a page offered it. Fields are percent-encoded: a
// path may hold anything.
#include <QByteArray>
#include <QList>
#include <QString>

struct DownloadRecord {
    enum class End { Completed, Failed, Stopped, Interrupted };
    End end = End::Failed;
    QString target, partial, url;
    qint64 written = 0, expected = -1;  // -1: the size was not known
    QByteArray validator;
    QString text;       // what a failed task said
    bool page = false;  // a page's download: never fetched whole a second time
};

QByteArray DownloadListBytes(const QList<DownloadRecord> &records);
// A line that cannot be read is left out; the rest come back. A line of an older list has no
// page field: the engine's partial name says it was a page's.
QList<DownloadRecord> ParseDownloadList(const QByteArray &bytes);
// Whether a line may be acted on: its partial is its target's own partial name (or none, where
// nothing is left to go on from) and, where something is there, a regular file, never a link.
// A file elsewhere is not the list's to delete, append to or rename.
bool TrustedRecord(const DownloadRecord &record);
