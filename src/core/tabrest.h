#pragma once
// When background tabs rest: shrunk (the view's images given back) after half a minute out of
// sight, frozen (no timers, no script) after five minutes; discarded (their process's memory
// freed, the history kept, loaded again when shown) only while the machine runs short of
// memory, or beyond a number of tabs the user set, the least recently shown first. The tab in
// front never rests, nor a page deeper than it allows.
#include <QList>
#include <QtGlobal>

namespace tabrest {

enum class Rest { Awake, Shrunk, Frozen, Discarded };  // ordered: deeper is greater

// A quick look at another tab and back is well within this: those stay as they are.
constexpr qint64 kShrinkMs = 30 * 1000;
constexpr qint64 kFreezeMs = 5 * 60 * 1000;
// A page that cannot rest yet (still loading, a dialog open) is looked at again after this.
constexpr qint64 kRetryMs = 60 * 1000;
// Short of memory: one tab goes, and the memory is looked at again this much later, once the
// page's process has given its memory back.
constexpr qint64 kShortRetryMs = 3 * 1000;
// How often the memory is looked at while a tab behind could give some back.
constexpr qint64 kMemoryLookMs = 15 * 1000;

// What the system can still give, in KiB; -1 where it cannot be told.
struct Memory {
    qint64 availableKiB = -1;
    qint64 totalKiB = -1;
};
// Short: less than a tenth of the memory is still to be had.
bool ShortOfMemory(const Memory &m);

struct Tab {
    bool front = false;
    qint64 hiddenSinceMs = 0;  // when it last left the front, or was made behind it
    Rest now = Rest::Awake;
    Rest deepest = Rest::Discarded;  // the deepest the page allows now
};

struct Plan {
    QList<Rest> rest;    // for every tab, in order
    qint64 nextMs = -1;  // when to look again; -1: nothing will change by time alone
};

// limit: tabs alive at most, as the user set it ("TabsInMemory"'s leading number; below 1:
// no number, the memory decides).
Plan Decide(const QList<Tab> &tabs, qint64 nowMs, int limit, bool shortOfMemory);

}  // namespace tabrest
