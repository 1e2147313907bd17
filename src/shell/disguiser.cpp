#include "disguiser.h"

#include "bosskey/frmsh.h"

Disguiser::Disguiser(OwnedWindows &windows, QWidget *frame)
    : QObject(frame), windows_(windows), frame_(frame) {
    windows_.add(OwnedWindow::Disguise, [this] {
        auto *sh = new frmSH(frame_);
        connect(sh, &frmSH::RestoreRequested, this, &Disguiser::End);
        return sh;
    });
}

void Disguiser::Disguise() {
    if (active_) return;
    active_ = true;
    hidden_.clear();
    for (QWidget *w : windows_.open()) {
        hidden_ << w;
        w->hide();
    }
    frame_->hide();
    auto *sh = windows_.get<frmSH>(OwnedWindow::Disguise);
    sh->Load();
    sh->show();
    sh->raise();
    sh->activateWindow();
}

// Everything that was showing comes back as it was: geometry, maximised, the active tab.
void Disguiser::End() {
    if (!active_) return;
    active_ = false;
    windows_.discard(OwnedWindow::Disguise);
    frame_->show();
    for (const QPointer<QWidget> &w : hidden_)
        if (w) w->show();
    hidden_.clear();
    frame_->raise();
    frame_->activateWindow();
}
