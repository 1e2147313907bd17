#pragma once
// Desktop entries as freedesktop desktops read them: launchers for a page on
// the desktop, and the browser's own entry for the desktop's default-browser choice.
#include <QString>
#include <QStringList>

// A shortcut's file name from a page title: ".desktop" added unless the title ends so (in
// any letter case); a "/" or a control character, which no file name in a folder may
// hold, becomes "_"; a title with nothing left is "Telvano".
QString ShortcutFileName(const QString &title);
// One argument of an Exec line, quoted (where it holds a reserved character) and
// escaped so the desktop hands it over whole.
QString ExecArgument(const QString &argument);
// A launcher that starts the program with the page's address as its only argument.
QString ShortcutEntry(const QString &name, const QString &program, const QString &address,
                      const QString &folder, const QString &icon);
// The words of an entry's Exec line as the desktop hands them to the program (a field code
// such as "%u" stays as written); none without an Exec line.
QStringList ExecArguments(const QString &entry);
// The browser's own entry: what it opens (web addresses, pages, its bookmark files).
QString BrowserEntry(const QString &program, const QString &icon);
extern const QStringList kBrowserMimeTypes;
// The bookmark files' type for the desktop's MIME database (shared-mime-info).
extern const char kBookmarkMimeInfo[];
