#pragma once
// Bookmarks as a tree of folders, to come from another browser and to go to one: the
// Netscape bookmark file every browser reads and writes, Chromium's "Bookmarks" file, and
// our own bookmark folder, where each bookmark is a ".zvb" file and each folder a folder.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct BookmarkEntry {
    QString name, url;
};

struct BookmarkFolder {
    QString name;
    QList<BookmarkFolder> folders;
    QList<BookmarkEntry> bookmarks;
    int count() const;  // every bookmark in it and below
};

// A bookmark with the names of the folders it lies in, from the top.
struct PlacedBookmark {
    QStringList folders;
    BookmarkEntry entry;
};
QList<PlacedBookmark> Flatten(const BookmarkFolder &root);

// The Netscape bookmark file: folders as <DL> levels; whatever else it holds is passed over.
BookmarkFolder ParseBookmarkHtml(const QByteArray &html);
QByteArray BookmarkHtml(const BookmarkFolder &root);  // UTF-8
// Chromium's "Bookmarks" (JSON): its bar, other and synced folders under their own names;
// none when the file is no such JSON.
std::optional<BookmarkFolder> ParseChromiumBookmarks(const QByteArray &json);
// Our bookmark folder as it is on disk: folders and ".zvb" files by name.
BookmarkFolder ReadBookmarkFolder(const QString &folder);

// Only pages a tab can open: http, https, ftp and file (no "javascript:" or "place:").
bool ImportableAddress(const QString &url);
// A name as a file or folder of the bookmark folder takes it: no separator, no control
// character, never "." or "..", and at most 255 bytes with room for the reserved ones.
QString ImportedName(const QString &name, int reserveBytes = 0);

enum class BookmarkWritten { Added, Present, Unsupported, Failed };
// Writes one bookmark under base (its folders made as needed). A file of the same name and
// another address leaves it to "name(1)", "name(2)"...; one of the same name and address is
// already there, so a second import adds nothing. file: the one written or found there.
BookmarkWritten WriteImportedBookmark(const QString &base, const PlacedBookmark &bookmark,
                                      QString *error = nullptr, QString *file = nullptr);
