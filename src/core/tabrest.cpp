#include "tabrest.h"

#include <algorithm>
#include <numeric>

namespace tabrest {

bool ShortOfMemory(const Memory &m) {
    return m.availableKiB >= 0 && m.totalKiB > 0 && m.availableKiB < m.totalKiB / 10;
}

Plan Decide(const QList<Tab> &tabs, qint64 nowMs, int limit, bool shortOfMemory) {
    Plan plan;
    plan.rest.resize(tabs.size());
    // Saturating: a clock that jumped back reads as just hidden.
    auto hidden = [&](const Tab &t) { return std::max<qint64>(0, nowMs - t.hiddenSinceMs); };
    auto due = [&](const Tab &t) {
        return hidden(t) >= kFreezeMs   ? Rest::Frozen
               : hidden(t) >= kShrinkMs ? Rest::Shrunk
                                        : Rest::Awake;
    };
    // When each rest that time brings is due.
    const qint64 dueAt[] = {kShrinkMs, kFreezeMs};
    for (int i = 0; i < tabs.size(); ++i) {
        const Tab &t = tabs[i];
        // The engine wakes the page it shows; a page never wakes for time alone.
        plan.rest[i] = t.front ? Rest::Awake : std::max(t.now, std::min(due(t), t.deepest));
    }
    // Over the limit, or short of memory (one at a time): the longest hidden go first, of
    // those that may go at all.
    QList<int> order(tabs.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&tabs](int a, int b) {
        return tabs[a].hiddenSinceMs < tabs[b].hiddenSinceMs;
    });
    int alive = int(std::count_if(plan.rest.begin(), plan.rest.end(),
                                  [](Rest r) { return r != Rest::Discarded; }));
    if (limit < 1) limit = int(tabs.size());
    const int keep = shortOfMemory ? std::min(limit, alive - 1) : limit;
    bool waiting = false;  // a page over the limit that may not go yet
    bool went = false;
    for (int i : order) {
        if (alive <= keep) break;
        if (tabs[i].front || plan.rest[i] == Rest::Discarded) continue;
        if (tabs[i].deepest != Rest::Discarded) {
            waiting |= tabs[i].deepest == Rest::Awake;  // a frozen page changes nothing
            continue;
        }
        plan.rest[i] = Rest::Discarded;
        --alive;
        went = true;
    }
    auto later = [&plan](qint64 at) {
        plan.nextMs = plan.nextMs < 0 ? at : std::min(plan.nextMs, at);
    };
    if (waiting && alive > keep) later(nowMs + kRetryMs);
    if (shortOfMemory && went) later(nowMs + kShortRetryMs);
    for (int i = 0; i < tabs.size(); ++i) {
        const Tab &t = tabs[i];
        if (t.front || plan.rest[i] == Rest::Discarded) continue;
        if (plan.rest[i] == Rest::Frozen) continue;  // time brings no more
        if (due(t) > plan.rest[i]) {
            // A page that holds back while awake (loading, a dialog) is asked again; a
            // frozen one changes nothing.
            if (t.deepest == Rest::Awake) later(nowMs + kRetryMs);
        } else {
            later(nowMs + (dueAt[int(plan.rest[i])] - hidden(t)));
        }
    }
    return plan;
}

}  // namespace tabrest
