#include "hotkeys.h"

bool HotKeyPoll::Key::counts(bool isDown, bool modifierDown) {
    if (!isDown) {
        down = spoilt = false;
        return false;
    }
    if (!down) spoilt = modifierDown;  // judged when the press began
    down = true;
    return !spoilt && !modifierDown;
}

HotKeyPoll::Command HotKeyPoll::poll(bool f2Down, bool f4Down, bool modifierDown) {
    // Both keys are followed on every poll, so a press is judged from its start.
    const bool f2 = f2_.counts(f2Down, modifierDown);
    const bool f4 = f4_.counts(f4Down, modifierDown);
    if (f2) return BossKey;
    if (f4) return Lock;
    return None;
}
