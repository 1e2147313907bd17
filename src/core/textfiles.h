#pragma once
// Plain text services shared by bookmarks, the update check, dropped files and downloads.
#include <QString>

// Every line of the file followed by CR LF; a line ends at CR or CR LF (a lone LF stays
// in the line). Empty text when the file cannot be read.
QString ReadTextFile(const QString &path);

// The file name a URL suggests: its last segment, the query in place of the name when
// there is one, and a trailing "_..." decoration after the extension cut off.
QString FileNameFromUrl(const QString &url);

// A page title as a tab shows it: without the characters that reorder text (a title
// could make "gpj.exe" read as "exe.jpg"), and at most 24 characters as a reader counts
// them (longer: the first 23 and "…"), never cutting a character or its accents apart.
QString WithoutBidiControls(const QString &text);
QString TabCaption(const QString &title);
