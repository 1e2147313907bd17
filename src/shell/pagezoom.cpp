#include "pagezoom.h"

#include "core/numbers.h"
#include "core/settings.h"
#include "statusstrip.h"
#include "tab/form1.h"
#include "tabset.h"

PageZoom::PageZoom(TabSet *tabs, StatusStrip *status, QObject *parent)
    : QObject(parent), tabs_(tabs), status_(status) {
    // A loaded page takes the stored zoom ("150"; a text that is no number gives 0).
    connect(tabs, &TabSet::PageLoaded, this, [this](const QString &zoom) {
        status_->setZoom(zoom);
        current_ = config::leadingInt(zoom);
    });
    connect(status, &StatusStrip::ZoomClicked, this, [this](int direction) {
        if (tabs_->active()) set(ZoomStep(current_, direction));
    });
}

Ran PageZoom::Execute(Command command, int value) {
    switch (command) {
        case Command::ZoomIn:
            set(ZoomStep(current_, 1));
            return Ran::Done;
        case Command::ZoomOut:
            set(ZoomStep(current_, -1));
            return Ran::Done;
        case Command::ZoomReset:
            set(ZoomStep(current_, 0));
            return Ran::Done;
        case Command::Zoom:
            set(value);
            emit Chosen();
            return Ran::Done;
        default:
            return Ran::NotMine;
    }
}

void PageZoom::set(int percent) {
    current_ = percent;
    if (Form1 *t = tabs_->active()) t->setZoom(percent);
    status_->setZoom(QString::number(percent));
    settings::Write(settings::Key::Zoom, percent);
}
