#include <gtest/gtest.h>

#include "core/tabrest.h"

using tabrest::Rest;

// Each case: the tabs (front, minutes hidden, rest now, deepest allowed), the limit, what
// each tab gets, when to look again (minutes from now; -1 never), and whether memory is short.
TEST(TabRestTest, TimeTheLimitAndWhatAPageAllowsDecide) {
    constexpr qint64 kMin = 60 * 1000, kNow = 1000 * kMin;
    const Rest A = Rest::Awake, S = Rest::Shrunk, F = Rest::Frozen, D = Rest::Discarded;
    struct T {
        bool front;
        qint64 hiddenMin;
        Rest now, deepest;
    };
    const struct {
        QList<T> tabs;
        int limit;
        QList<Rest> want;
        double nextMin;
        bool shortOfMemory = false;
    } cases[] = {
        {{{true, 0, A, A}}, 12, {A}, -1},                         // one tab: nothing to do
        {{{true, 0, A, A}, {false, 0, A, D}}, 12, {A, A}, 0.5},   // shrinks in half a minute
        {{{true, 0, A, A}, {false, 4, A, D}}, 12, {A, S}, 1},     // freezes in a minute
        {{{true, 0, A, A}, {false, 5, A, D}}, 12, {A, F}, -1},    // frozen, and no more by time
        {{{true, 0, A, A}, {false, 900, F, D}}, 0, {A, F}, -1},   // kept while memory lasts
        {{{true, 0, A, A}, {false, 31, A, A}}, 12, {A, A}, 1},    // loading: asked again
        {{{true, 0, A, A}, {false, 40, F, F}}, 12, {A, F}, -1},   // typed text: frozen only
        {{{true, 0, A, A}, {false, 1, A, F}}, 12, {A, S}, 4},     // shrunk before it freezes
        {{{true, 0, A, A}, {false, -5, A, D}}, 12, {A, A}, 0.5},  // a clock gone back
        {{{false, 0, D, D}, {true, 0, A, A}}, 12, {D, A}, -1},    // never woken by time
        // Over the limit: the longest hidden goes, then the next that may.
        {{{false, 3, A, D}, {true, 0, A, A}, {false, 2, A, D}}, 2, {D, A, S}, 3},
        {{{false, 3, A, A}, {true, 0, A, A}, {false, 2, A, D}}, 2, {A, A, D}, 1},
        {{{false, 3, A, D}, {true, 0, A, A}, {false, 2, A, D}}, 1, {D, A, D}, -1},
        {{{false, 3, A, D}, {true, 0, A, A}, {false, 2, A, D}}, 0, {S, A, S}, 2},  // 0: any
        // Short of memory: the longest hidden that may go goes, and memory is looked at again.
        {{{false, 1, S, D}, {true, 0, A, A}, {false, 2, A, A}, {false, 0, A, D}},
         0,
         {D, A, A, A},
         0.05,
         true},
        {{{false, 9, D, D}, {true, 0, A, A}, {false, 2, A, A}}, 0, {D, A, A}, 1, true},
    };
    for (const auto &c : cases) {
        QList<tabrest::Tab> tabs;
        for (const T &t : c.tabs)
            tabs.append({t.front, kNow - t.hiddenMin * kMin, t.now, t.deepest});
        const tabrest::Plan plan = tabrest::Decide(tabs, kNow, c.limit, c.shortOfMemory);
        const int at = int(&c - cases);
        EXPECT_EQ(plan.rest, c.want) << at;
        EXPECT_EQ(plan.nextMs, c.nextMin < 0 ? -1 : kNow + qint64(c.nextMin * kMin)) << at;
    }
    const struct {
        qint64 available, total;
        bool isShort;
    } memory[] = {{900, 10000, true}, {1000, 10000, false}, {-1, 10000, false}, {5, 0, false}};
    for (const auto &m : memory)
        EXPECT_EQ(tabrest::ShortOfMemory({m.available, m.total}), m.isShort) << m.available;
}
