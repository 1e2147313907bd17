#pragma once
// Every command a user can give: menus, the toolbar, the keys, the key poll and gestures all
// run them through the frame's Execute, never by a menu's index. Their captions, keys and
// menus are the frame's command rows; a window folder may handle those of its own.
#include "numbers.h"

enum class Command {
    // Browse (the active tab; nothing without one).
    Back,  // leaves the navigation page, or else goes back
    Forward,
    Stop,
    Refresh,
    Home,
    Search,          // the search engine's front page
    NavigationPage,  // shows or hides it
    // Tabs and the frame.
    NewTab,
    NewPrivateTab,  // 无痕: on the private profile, kept nowhere
    CloseTab,
    CloseAll,
    Exit,
    History,         // the history window
    RestoreSession,  // the last run's tabs again
    ToggleStatusBar,
    ToggleLoadProgress,
    ToggleGestures,
    // The page.
    Print,
    ZoomIn,     // by 50, up to 400
    ZoomOut,    // by 50, down to 50
    ZoomReset,  // 100
    Zoom,       // to the percentage given with it
    Downloads,
    OrganiseBookmarks,
    AddBookmark,
    ImportData,       // another browser's bookmarks and history
    ExportBookmarks,  // as one HTML file other browsers read
    AddToDesktop,
    // Private.
    BossKey,
    Lock,
    Settings,
    Skins,
    // Help.
    CheckUpdate,
    About,
    // The habits of other browsers' hands (keys, the tab strip's menu).
    ReloadFromServer,  // past the cache
    NextTab,
    PreviousTab,
    SelectTab,  // the tab numbered with it, 1 to 8; 9 is the last
    FocusAddress,
    ReopenClosedTab,
    DuplicateTab,
    CloseOtherTabs,
    CloseTabsToTheRight,
    FullScreen,
    SavePage,
    Find,  // opens the find bar
    FindNext,
    FindPrevious,
};

// Who runs a command: each has exactly one, named in its row.
enum class Handler {
    Tab,      // the front tab: its page's own commands
    Tabs,     // the tab set: between tabs
    Toggles,  // the chrome's check marks
    Windows,  // the secondary windows
    Find,     // the find bar
    Zoom,     // the page zoom
    Frame,    // the frame: the rest
};

// What a handler made of a command: ran it, found nothing to act on, or it is no command of
// its own (a row naming the wrong handler).
enum class Ran { Done, Nothing, NotMine };
inline Ran RanIf(bool done) {
    return done ? Ran::Done : Ran::Nothing;
}

// The zoom after a step: +1 in, -1 out, 0 back to 100. The ends are tests for equality, so a
// zoom off the 50-to-400 grid (only an edited setting gives one) steps on past them.
inline int ZoomStep(int current, int direction) {
    if (direction == 0) return 100;
    if (direction > 0) return current == 400 ? current : config::saturatedAdd(current, 50);
    return current == 50 ? current : config::saturatedAdd(current, -50);
}
