#include <gtest/gtest.h>

#include "tab/navigation.h"

TEST(NavValueTest, StoredValuesBecomeTilesAndBadFieldsKeepWhatWasThere) {
    NavTile t;
    ApplyNavValue("http://a.cn/@@甲站@@255", t);
    EXPECT_EQ(t.address, "http://a.cn/");
    EXPECT_EQ(t.caption, "甲站");
    EXPECT_EQ(t.tooltip, "甲站");
    EXPECT_EQ(t.colour, 255);

    ApplyNavValue("http://b/@@Two fields", t);  // no colour: the colour stays
    EXPECT_EQ(t.address, "http://b/");
    EXPECT_EQ(t.caption, "Two fields");
    EXPECT_EQ(t.colour, 255);

    ApplyNavValue("http://c/@@A@@B title@@123", t);  // "@@" in the title
    EXPECT_EQ(t.caption, "A");
    EXPECT_EQ(t.colour, 255);  // "B title" is no colour

    ApplyNavValue("http://d/@@D@@-2147483643", t);  // a system colour
    EXPECT_EQ(t.colour, -2147483643);
    ApplyNavValue("http://d/@@D@@4294967296", t);  // beyond 32 bits: unreadable
    EXPECT_EQ(t.colour, -2147483643);

    ApplyNavValue("", t);  // a missing key leaves the tile alone
    EXPECT_EQ(t.address, "http://d/");

    ApplyNavValue("e", t);
    EXPECT_EQ(t.address, "");
    EXPECT_EQ(t.caption, "点击添加");
    EXPECT_EQ(t.tooltip, "");
    EXPECT_EQ(t.colour, kWhite);
}

TEST(NavValueTest, EditorValuesAndTheLayoutOfThePage) {
    EXPECT_EQ(NavValue("", "ignored", 5), "e");
    EXPECT_EQ(NavValue("http://x/", "标题", 16777215), "http://x/@@标题@@16777215");
    EXPECT_EQ(NavKey(0), "n1");
    EXPECT_EQ(NavKey(8), "n9");
    EXPECT_EQ(navlayout::tile(0), QRect(0, 600, 2895, 1455));
    EXPECT_EQ(navlayout::tile(4), QRect(3480, 2520, 2895, 1455));
    EXPECT_EQ(navlayout::tile(8), QRect(6960, 4440, 2895, 1455));
    // The last tile ends inside the core.
    EXPECT_LE(navlayout::tile(8).right(), navlayout::kCoreWidth);
    EXPECT_LE(navlayout::tile(8).bottom(), navlayout::kCoreHeight);
    EXPECT_EQ(navlayout::coreOrigin(19855, 8015), QPoint(5000, 1000));
    EXPECT_EQ(navlayout::coreOrigin(9855, 6015), QPoint(0, 0));
}
