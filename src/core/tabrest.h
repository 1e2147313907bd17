#pragma once
// When background tabs rest: shrunk (the view's images given back) after half a minute out of
// sight, frozen (no timers, no script) after five minutes, discarded (their process's memory
// freed, the history kept) after thirty, or sooner when more tabs are alive than the limit,
// the least recently used first. The tab in front never rests, nor a page deeper than it
// allows.
#include <QList>
#include <QtGlobal>

namespace tabrest {

enum class Rest { Awake, Shrunk, Frozen, Discarded };  // ordered: deeper is greater

// A quick look at another tab and back is well within this: those stay as they are.
constexpr qint64 kShrinkMs = 30 * 1000;
constexpr qint64 kFreezeMs = 5 * 60 * 1000;
constexpr qint64 kDiscardMs = 30 * 60 * 1000;
// A page that cannot rest yet (still loading, a dialog open) is looked at again after this.
constexpr qint64 kRetryMs = 60 * 1000;

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

// limit: tabs alive at most ("TabsInMemory"'s leading number; below 1 means the default).
Plan Decide(const QList<Tab> &tabs, qint64 nowMs, int limit);
constexpr int kDefaultLimit = 12;

}  // namespace tabrest
