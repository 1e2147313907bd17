#include "secondarywindows.h"

#include <QDialog>
#include <QDir>

#include "about/frmabout.h"
#include "core/programfolder.h"
#include "downloads/frmdownload.h"
#include "history/frmhistory.h"
#include "import/bookmarkexport.h"
#include "import/frmimport.h"
#include "platform/platform.h"
#include "services/updatecheck.h"
#include "settings/frmsetting.h"
#include "settings/frmtheme.h"
#include "tab/frmaddfav.h"

SecondaryWindows::SecondaryWindows(Platform &platform, QWidget *frame, Hooks hooks)
    : QObject(frame), platform_(platform), frame_(frame), hooks_(std::move(hooks)) {
    platform_.alsoClearTracks(this, [this] { downloads()->ClearRecords(); });
    // One line each.
    windows_.add(OwnedWindow::Downloads, [this] { return new frmDownload(platform_, frame_); });
    windows_.add(OwnedWindow::AddBookmark,
                 [this] { return new frmAddFav(platform_.dialogs(), frame_); });
    windows_.add(OwnedWindow::About, [this] { return new frmAbout(platform_.desktop(), frame_); });
    windows_.add(OwnedWindow::Settings, [this] {
        auto *f = new frmSetting(platform_, {hooks_.cover(), hooks_.strip()},
                                 hooks_.registerBrowser, frame_);
        // Every opening loads afresh and starts locked.
        connect(f, &QDialog::finished, this, [this] { windows_.discard(OwnedWindow::Settings); });
        return f;
    });
    windows_.add(OwnedWindow::Skins, [this] { return new frmTheme(hooks_.trySkin, frame_); });
    windows_.add(OwnedWindow::History, [this] {
        auto *h = new frmHistory(
            platform_.history(), [this] { return platform_.clock().now().toMSecsSinceEpoch(); },
            frame_);
        connect(h, &frmHistory::OpenRequested, this,
                [this](const QString &url) { hooks_.open(url); });
        connect(h, &frmHistory::ClearRequested, this,
                [this](qint64 since) { platform_.ClearTracks(since); });
        connect(h, &frmHistory::ImportRequested, this, [this] { importData(); });
        return h;
    });
    windows_.add(OwnedWindow::Import, [this] {
        return new frmImport(platform_, AppDir() + QStringLiteral("书签"), QDir::homePath(),
                             frame_);
    });
}

// Made afresh each time: what the other browsers hold now.
void SecondaryWindows::importData() {
    windows_.get<frmImport>(OwnedWindow::Import)->exec();
    windows_.discard(OwnedWindow::Import);
    if (auto *h = qobject_cast<frmHistory *>(windows_.openOne(OwnedWindow::History))) h->reload();
}

void SecondaryWindows::showHistory() {
    auto *h = windows_.get<frmHistory>(OwnedWindow::History);
    if (h->isMinimized()) h->showNormal();
    h->show();
    h->raise();
    h->activateWindow();
    h->reload();
}

frmDownload *SecondaryWindows::downloads() {
    return windows_.get<frmDownload>(OwnedWindow::Downloads);
}

void SecondaryWindows::showDownloads() {
    frmDownload *m = downloads();
    if (m->isMinimized()) m->showNormal();
    m->show();
    m->raise();
}

void SecondaryWindows::newDownload(const QString &path, const QString &url, Transfer *transfer,
                                   bool offTheRecord) {
    showDownloads();
    downloads()->NewDownload(path, url, transfer, offTheRecord);
}

void SecondaryWindows::forgetPrivateDownloads() {
    if (auto *m = windows_.made<frmDownload>(OwnedWindow::Downloads)) m->ForgetOffRecord();
}

QWidget *SecondaryWindows::showSettings(bool modal) {
    auto *f = windows_.get<frmSetting>(OwnedWindow::Settings);
    if (modal) {
        f->exec();
        return nullptr;
    }
    f->show();
    f->raise();
    return f;
}

QWidget *SecondaryWindows::openSettings() const {
    for (QWidget *w : windows_.open())
        if (qobject_cast<frmSetting *>(w)) return w;
    return nullptr;
}

void SecondaryWindows::chooseSkin() {
    windows_.get<frmTheme>(OwnedWindow::Skins)->exec();
    windows_.discard(OwnedWindow::Skins);
}

void SecondaryWindows::about() {
    windows_.get<frmAbout>(OwnedWindow::About)->exec();
    windows_.discard(OwnedWindow::About);  // the next one starts from the first fade
}

void SecondaryWindows::addBookmark(const QString &title, const QString &address) {
    auto *d = windows_.get<frmAddFav>(OwnedWindow::AddBookmark);
    d->Fill(title, address);
    d->exec();
    windows_.discard(OwnedWindow::AddBookmark);
}

Ran SecondaryWindows::Execute(Command command) {
    switch (command) {
        case Command::History:
            showHistory();
            return Ran::Done;
        case Command::Downloads:
            showDownloads();
            return Ran::Done;
        case Command::Settings:
            showSettings(true);
            return Ran::Done;
        case Command::Skins:
            chooseSkin();
            return Ran::Done;
        case Command::About:
            about();
            return Ran::Done;
        case Command::ImportData:
            importData();
            return Ran::Done;
        case Command::ExportBookmarks:
            ExportBookmarks(platform_.dialogs(), frame_, AppDir() + QStringLiteral("书签"));
            return Ran::Done;
        case Command::CheckUpdate:
            CheckForUpdateAndSay(platform_, frame_,
                                 [this](const QString &path, const QString &url) {
                                     newDownload(path, url, nullptr);
                                 });
            return Ran::Done;
        default:
            return Ran::NotMine;
    }
}
