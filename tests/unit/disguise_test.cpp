#include "services/disguise.h"

#include <gtest/gtest.h>

using namespace disguise;

TEST(DisguiseTest, PicturePlaceAndRestoreCharacter) {
    EXPECT_EQ(PictureFor("0"), Picture::Pinyin);
    EXPECT_EQ(PictureFor(""), Picture::Pinyin);  // missing: the settings' default
    EXPECT_EQ(PictureFor(" 1 "), Picture::Microsoft);
    EXPECT_EQ(PictureFor("2"), Picture::Abc);
    EXPECT_EQ(PictureFor("7"), Picture::Custom);
    EXPECT_EQ(PictureFor("1.5"), Picture::Custom);
    // 166 × 25 above a 40-pixel taskbar on 1024 × 768: left 858, top 703.
    EXPECT_EQ(Place({1024, 768}, 40, PictureSize(Picture::Microsoft)), QRect(858, 703, 166, 25));
    EXPECT_EQ(Place({1280, 800}, 0, PictureSize(Picture::Pinyin)), QRect(1111, 778, 169, 22));
    EXPECT_EQ(Place({1280, 800}, 0, PictureSize(Picture::Abc)).bottomRight(), QPoint(1279, 799));
    EXPECT_TRUE(Restores("q", "q"));
    EXPECT_FALSE(Restores("Q", "q"));
    EXPECT_FALSE(Restores("", ""));   // an empty restore character: only a later start restores
    EXPECT_FALSE(Restores("", "q"));  // function keys and arrows type nothing
}
