#include "about/animation.h"

#include <gtest/gtest.h>

using namespace about;

// The three timers' arithmetic: fades that end on the tick reaching 255, the first picture
// gone on that tick, the second kept, and a slide that ends exactly in the middle.
TEST(AboutAnimationTest, FadesAndSlideEndWhereTheyShould) {
    const Sizes sizes{QSizeF(497, 161), QSizeF(75, 72), QSizeF(340, 150), QSizeF(385, 152)};
    State s;
    for (int tick = 1; tick <= 254; ++tick) Tick(s, sizes);
    EXPECT_EQ(s.phase, Phase::FirstFade);
    EXPECT_EQ(s.level, 254);
    Tick(s, sizes);  // the 255th: the first picture vanishes
    EXPECT_EQ(s.phase, Phase::SecondFade);
    EXPECT_EQ(s.level, 0);
    int maxLevel = 0;
    for (int tick = 1; tick <= 255; ++tick) {
        Tick(s, sizes);
        maxLevel = std::max(maxLevel, s.level);
    }
    EXPECT_EQ(maxLevel, 255);
    EXPECT_EQ(s.phase, Phase::Slide);
    EXPECT_EQ(s.level, 255);  // the second picture stays
    EXPECT_TRUE(s.textShown);
    EXPECT_EQ(s.textTop, 161);
    // (161 - 152) / 2 = 4.5: the panel goes up a pixel a tick, 160 … 5, then stops at 4.5.
    int ticks = 0;
    while (s.phase == Phase::Slide && ticks < 1000) {
        Tick(s, sizes);
        ++ticks;
    }
    EXPECT_EQ(s.phase, Phase::Still);
    EXPECT_EQ(ticks, 157);
    EXPECT_DOUBLE_EQ(s.textTop, 4.5);
    Tick(s, sizes);
    EXPECT_DOUBLE_EQ(s.textTop, 4.5);
    EXPECT_EQ(Centred(sizes.stage, sizes.first), QPointF(211, 45));  // 211, 44.5 rounded
}
