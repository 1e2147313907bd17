#pragma once
// Plain text services shared by bookmarks, the update check, dropped files and downloads.
#include <QString>

// Every line of the file followed by CR LF; a line ends at CR or CR LF (a lone LF stays
// in the line). Empty text when the file cannot be read.
QString ReadTextFile(const QString &path);

// The file name a URL suggests: its last segment, the query in place of the name when
// there is one, and a trailing "_..." decoration after the extension cut off.
QString FileNameFromUrl(const QString &url);
