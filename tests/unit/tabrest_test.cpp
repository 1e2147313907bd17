#include <gtest/gtest.h>

#include "core/tabrest.h"

using tabrest::Rest;

// Each case: the tabs (front, minutes hidden, rest now, deepest allowed), the limit, what
// each tab gets and when to look again (minutes from now; -1 never).
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
    } cases[] = {
        {{{true, 0, A, A}}, 12, {A}, -1},                         // one tab: nothing to do
        {{{true, 0, A, A}, {false, 0, A, D}}, 12, {A, A}, 0.5},   // shrinks in half a minute
        {{{true, 0, A, A}, {false, 4, A, D}}, 12, {A, S}, 1},     // freezes in a minute
        {{{true, 0, A, A}, {false, 5, A, D}}, 12, {A, F}, 25},    // frozen; discarded at 30
        {{{true, 0, A, A}, {false, 31, F, D}}, 12, {A, D}, -1},   // discarded
        {{{true, 0, A, A}, {false, 31, A, A}}, 12, {A, A}, 1},    // loading: asked again
        {{{true, 0, A, A}, {false, 40, F, F}}, 12, {A, F}, -1},   // typed text: frozen only
        {{{true, 0, A, A}, {false, 1, A, F}}, 12, {A, S}, 4},     // shrunk before it freezes
        {{{true, 0, A, A}, {false, -5, A, D}}, 12, {A, A}, 0.5},  // a clock gone back
        {{{false, 0, D, D}, {true, 0, A, A}}, 12, {D, A}, -1},    // never woken by time
        // Over the limit: the longest hidden goes, then the next that may.
        {{{false, 3, A, D}, {true, 0, A, A}, {false, 2, A, D}}, 2, {D, A, S}, 3},
        {{{false, 3, A, A}, {true, 0, A, A}, {false, 2, A, D}}, 2, {A, A, D}, 1},
        {{{false, 3, A, D}, {true, 0, A, A}, {false, 2, A, D}}, 1, {D, A, D}, -1},
        {{{false, 3, A, D}, {true, 0, A, A}, {false, 2, A, D}}, 0, {S, A, S}, 2},  // 0: 12
    };
    for (const auto &c : cases) {
        QList<tabrest::Tab> tabs;
        for (const T &t : c.tabs)
            tabs.append({t.front, kNow - t.hiddenMin * kMin, t.now, t.deepest});
        const tabrest::Plan plan = tabrest::Decide(tabs, kNow, c.limit);
        const int at = int(&c - cases);
        EXPECT_EQ(plan.rest, c.want) << at;
        EXPECT_EQ(plan.nextMs, c.nextMin < 0 ? -1 : kNow + qint64(c.nextMin * kMin)) << at;
    }
}
