#pragma once
// The keys other browsers' users' hands know, bound to commands. F2 and F4 are not here:
// the key poll reads them, also while another program has the focus.
#include <QKeySequence>
#include <QList>

#include "commands.h"

struct KeyBinding {
    QKeySequence keys;
    Command command;
    int value = 0;  // for Command::SelectTab
};
const QList<KeyBinding> &KeyBindings();
