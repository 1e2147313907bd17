#include "keybindings.h"

const QList<KeyBinding> &KeyBindings() {
    using C = Command;
    static const QList<KeyBinding> bindings = [] {
        QList<KeyBinding> b = {
            {QKeySequence(Qt::CTRL | Qt::Key_T), C::NewTab},
            {QKeySequence(Qt::CTRL | Qt::Key_W), C::CloseTab},
            {QKeySequence(Qt::CTRL | Qt::Key_F4), C::CloseTab},
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), C::ReopenClosedTab},
            {QKeySequence(Qt::CTRL | Qt::Key_L), C::FocusAddress},
            {QKeySequence(Qt::ALT | Qt::Key_D), C::FocusAddress},
            {QKeySequence(Qt::Key_F6), C::FocusAddress},
            {QKeySequence(Qt::CTRL | Qt::Key_Tab), C::NextTab},
            {QKeySequence(Qt::CTRL | Qt::Key_PageDown), C::NextTab},
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), C::PreviousTab},
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), C::PreviousTab},
            {QKeySequence(Qt::CTRL | Qt::Key_PageUp), C::PreviousTab},
            {QKeySequence(Qt::Key_F5), C::Refresh},
            {QKeySequence(Qt::CTRL | Qt::Key_R), C::Refresh},
            {QKeySequence(Qt::CTRL | Qt::Key_F5), C::ReloadFromServer},
            {QKeySequence(Qt::SHIFT | Qt::Key_F5), C::ReloadFromServer},
            {QKeySequence(Qt::ALT | Qt::Key_Left), C::Back},
            {QKeySequence(Qt::ALT | Qt::Key_Right), C::Forward},
            {QKeySequence(Qt::CTRL | Qt::Key_Plus), C::ZoomIn},
            {QKeySequence(Qt::CTRL | Qt::Key_Equal), C::ZoomIn},
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus), C::ZoomIn},
            {QKeySequence(Qt::CTRL | Qt::Key_Minus), C::ZoomOut},
            {QKeySequence(Qt::CTRL | Qt::Key_0), C::ZoomReset},
            {QKeySequence(Qt::Key_F11), C::FullScreen},
            {QKeySequence(Qt::CTRL | Qt::Key_S), C::SavePage},
            {QKeySequence(Qt::CTRL | Qt::Key_P), C::Print},
            {QKeySequence(Qt::CTRL | Qt::Key_F), C::Find},
            {QKeySequence(Qt::Key_F3), C::FindNext},
            {QKeySequence(Qt::SHIFT | Qt::Key_F3), C::FindPrevious},
        };
        for (int n = 1; n <= 9; ++n)
            b.append({QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + n)), C::SelectTab, n});
        return b;
    }();
    return bindings;
}
