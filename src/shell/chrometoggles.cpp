#include "chrometoggles.h"

#include "core/settings.h"
#include "framemenus.h"
#include "gesturecontrol.h"
#include "statusstrip.h"
#include "toolbar.h"

ChromeToggles::ChromeToggles(FrameMenus *menus, StatusStrip *status, ToolBar *toolbar,
                             GestureControl *gestures, QObject *parent)
    : QObject(parent), menus_(menus), status_(status), toolbar_(toolbar), gestures_(gestures) {}

void ChromeToggles::applyBars() {
    if (!settings::IsOn(settings::Key::StBar)) {
        menus_->setChecked(Command::ToggleStatusBar, false);
        status_->hide();
    }
    if (!settings::IsOn(settings::Key::PrBar)) {
        menus_->setChecked(Command::ToggleLoadProgress, false);
        toolbar_->setProgressShown(false);
    }
}

void ChromeToggles::applyGestures() {
    const bool on = settings::IsOn(settings::Key::Mouse);
    gestures_->setOn(on);
    menus_->setChecked(Command::ToggleGestures, on);
    if (!on) status_->setGesturesOn(false);
}

Ran ChromeToggles::Execute(Command command) {
    switch (command) {
        case Command::ToggleStatusBar: {
            const bool on = status_->isHidden();
            menus_->setChecked(command, on);
            status_->setVisible(on);
            settings::Write(settings::Key::StBar, on);
            return Ran::Done;
        }
        case Command::ToggleLoadProgress: {
            const bool on = !menus_->isChecked(command);
            menus_->setChecked(command, on);
            toolbar_->setProgressShown(on);
            settings::Write(settings::Key::PrBar, on);
            return Ran::Done;
        }
        case Command::ToggleGestures: {
            const bool on = !menus_->isChecked(command);
            menus_->setChecked(command, on);
            status_->setGesturesOn(on);
            settings::Write(settings::Key::Mouse, on);
            gestures_->setOn(on);
            return Ran::Done;
        }
        default:
            return Ran::NotMine;
    }
}
