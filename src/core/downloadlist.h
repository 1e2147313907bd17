#pragma once
// The download manager's list kept across starts, one task a line: how it ended (or that it
// was cut short, to go on from its partial file), its file, partial file, address, bytes and
// the server's version of the file. Fields are percent-encoded: a path may hold anything.
#include <QByteArray>
#include <QList>
#include <QString>

struct DownloadRecord {
    enum class End { Completed, Failed, Stopped, Interrupted };
    End end = End::Failed;
    QString target, partial, url;
    qint64 written = 0, expected = -1;  // -1: the size was not known
    QByteArray validator;
    QString text;  // what a failed task said
};

QByteArray DownloadListBytes(const QList<DownloadRecord> &records);
// A line that cannot be read is left out; the rest come back.
QList<DownloadRecord> ParseDownloadList(const QByteArray &bytes);
