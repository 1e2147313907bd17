#pragma once
// The open tabs as a file: each tab's address, title, back and forward history (the web
// engine's own stream, kept only for the engine version that wrote it), zoom and lock, and
// which tab was in front, and the tabs still offered from an earlier crash. Written whole or not
// at all.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "filewriter.h"

struct SessionTab {
    QString url;
    QString title;
    QByteArray history;  // empty: the address alone
    int zoom = 100;
    bool locked = false;
    QByteArray icon = {};  // the page's icon as PNG; empty: none
};

struct Session {
    QList<SessionTab> tabs;
    int active = 0;
    // Tabs an earlier run left after a crash, offered back and not yet answered: kept until
    // the user restores or dismisses them, through any number of crashes.
    QList<SessionTab> offered;
};

// engine: the version whose history stream the tabs hold; a file of another version keeps
// its addresses and drops the streams.
QByteArray EncodeSession(const Session &session, const QString &engine);
std::optional<Session> DecodeSession(const QByteArray &bytes, const QString &engine);
WriteResult WriteSessionFile(const QString &path, const Session &session, const QString &engine);
// None when the file is missing or damaged.
std::optional<Session> ReadSessionFile(const QString &path, const QString &engine);
