#pragma once
// One row per user command: what the menus show, the keys that run it, whether it needs a
// tab, whether it is a check mark and which setting that reflects, which gesture runs it, and
// who runs it. The menus, the key table, the gesture mapping, the frame's dispatch and the
// tests walk these rows; adding a command is a row and its case in the handler it names.
#include <QKeySequence>
#include <QList>
#include <optional>

#include "core/command.h"
#include "core/settings.h"
#include "gestures/gesture.h"

// The menus a row's item sits in, in the order the menu button's pop-up shows them.
enum class CommandMenu {
    None,
    Manage,
    Display,
    Browse,
    Page,
    Zoom,
    Private,
    Help,
    Bookmarks,  // the end of 管理; the bookmarks follow its items
    Tabs
};

struct CommandRow {
    Command command;
    Handler handler = Handler::Frame;  // the one that runs it
    CommandMenu menu = CommandMenu::None;
    const char *caption = nullptr;  // none: a key or gesture only
    const char *objectName = nullptr;
    QList<QKeySequence> keys;              // shortcuts in the frame
    bool separatorBefore = false;          // in its menu
    bool needsTab = false;                 // does nothing, and says so, without a tab
    bool hiddenByLock = false;             // what a locked tab's page would give away: refused
    std::optional<settings::Key> setting;  // a check mark that shows this flag
    gesture::Fixed gesture = gesture::Fixed::None;
    int value = 0;  // Command::Zoom's percentage, Command::SelectTab's number
    // Read by the key poll, also while another program has the focus: shown, not bound.
    bool pollKey = false;
};

const QList<CommandRow> &CommandRows();
// The first row of a command: its needs and its setting.
const CommandRow &RowOf(Command command);
// The row a fixed gesture runs; none for a gesture of no command.
const CommandRow *RowOfGesture(gesture::Fixed fixed);
