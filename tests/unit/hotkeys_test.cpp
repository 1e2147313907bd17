#include "shell/hotkeys.h"

#include <gtest/gtest.h>

// Polls every 10 ms: what each poll sees and what the poll answers.
TEST(HotKeyPollTest, KeysCountOnlyWithoutModifiersFromTheStartOfTheirPress) {
    HotKeyPoll p;
    EXPECT_EQ(p.poll(false, true, false), HotKeyPoll::Lock);
    EXPECT_EQ(p.poll(false, true, false), HotKeyPoll::Lock);    // held: repeats
    EXPECT_EQ(p.poll(true, true, false), HotKeyPoll::BossKey);  // F2 before F4
    EXPECT_EQ(p.poll(false, false, false), HotKeyPoll::None);

    // Alt+F4 closing another program: Alt let go before F4 does not make it count.
    EXPECT_EQ(p.poll(false, false, true), HotKeyPoll::None);
    EXPECT_EQ(p.poll(false, true, true), HotKeyPoll::None);
    EXPECT_EQ(p.poll(false, true, false), HotKeyPoll::None);
    EXPECT_EQ(p.poll(false, false, false), HotKeyPoll::None);
    EXPECT_EQ(p.poll(false, true, false), HotKeyPoll::Lock);  // a fresh press counts again

    // A modifier pressed while F2 is held holds it back for that moment only.
    EXPECT_EQ(p.poll(true, false, false), HotKeyPoll::BossKey);
    EXPECT_EQ(p.poll(true, false, true), HotKeyPoll::None);
    EXPECT_EQ(p.poll(true, false, false), HotKeyPoll::BossKey);
    // Ctrl+F2 spoils F2 but not an F4 pressed cleanly meanwhile.
    p.poll(false, false, false);
    EXPECT_EQ(p.poll(true, false, true), HotKeyPoll::None);
    EXPECT_EQ(p.poll(true, true, false), HotKeyPoll::Lock);
}
