#pragma once
// What other browsers of this user keep, to be brought over: the profiles of the Chromium
// family (Chromium, Google Chrome, Microsoft Edge, Brave, Vivaldi) in the user's config
// folder ($XDG_CONFIG_HOME, by default ~/.config), and Firefox's profiles, in ~/.mozilla or
// that folder, as its profiles.ini lists them. A running browser holds its databases,
// so they are read from a private copy with their log, never opened in place and never
// written; a damaged or unreadable one says why.
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "core/bookmarktree.h"
#include "history.h"

struct BrowserProfile {
    enum Kind { Chromium, Firefox };
    Kind kind = Chromium;
    QString browser;  // "Google Chrome"
    QString name;     // the profile's own name
    QString folder;
    QString label() const;  // "Google Chrome（个人资料 1）"
};

// The profiles under home that hold bookmarks or history.
QList<BrowserProfile> FindBrowserProfiles(const QString &home);

class ProfileReader {
  public:
    explicit ProfileReader(BrowserProfile profile);
    ~ProfileReader();
    ProfileReader(const ProfileReader &) = delete;
    ProfileReader &operator=(const ProfileReader &) = delete;
    const BrowserProfile &profile() const { return profile_; }

    // None, with why, when the profile's bookmarks cannot be read.
    std::optional<BookmarkFolder> bookmarks(QString *why);
    // The visits since then (milliseconds since the epoch), or -1, with why.
    qint64 countVisits(qint64 since, QString *why);
    // The next visits since then, in the order they were made; empty after the last.
    // skipped: visits of addresses no tab opens (about:, data:...).
    QList<ImportedVisit> nextVisits(qint64 since, int max, int *skipped);
    void rewind() { after_ = 0; }

  private:
    bool openHistory(QString *why);
    BrowserProfile profile_;
    QTemporaryDir copies_;
    QString connection_;  // the history copy's, once opened
    QString error_;       // why it cannot be opened, once tried
    qint64 after_ = 0;    // the last visit read
};
