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
    EXPECT_EQ(navlayout::placeCore(19855, 8015).origin, QPoint(5000, 1000));
    EXPECT_EQ(navlayout::placeCore(19855, 8015).scale, 1.0);
}

// Small windows shrink the tiles and move them below the title; nothing ever overlaps, and
// the core stays inside every page that can hold it at its smallest beside the title.
TEST(NavigationTest, TheCoreNeverOverlapsTheTitleOnAnyPageSize) {
    using namespace navlayout;
    for (int w = 3000; w <= 30000; w += 370)
        for (int h = 3000; h <= 18000; h += 290) {
            const CorePlace p = placeCore(w, h);
            const QRect core(p.origin,
                             QSize(int(kCoreWidth * p.scale), int(kCoreHeight * p.scale)));
            ASSERT_FALSE(core.intersects(title())) << w << "x" << h;
            ASSERT_GE(p.scale, kMinScale);
            ASSERT_LE(p.scale, 1.0);
            if (w >= kCoreWidth * kMinScale + 240 && h >= kCoreHeight * kMinScale + 1440) {
                ASSERT_GE(core.left(), 0) << w << "x" << h;
                ASSERT_LE(core.right(), w) << w << "x" << h;
                ASSERT_LE(core.bottom(), h) << w << "x" << h;
            }
        }
    // A page of 1280 x 800 pixels keeps the tiles at their full size.
    EXPECT_EQ(placeCore(1274 * 15, 560 * 15).scale, 1.0);
}

TEST(NavigationTest, OnlyWhatTheStoredFormCanHoldIsStored) {
    auto roundTrip = [](const StorableTile &t) {
        NavTile tile;
        ApplyNavValue(NavValue(t.address, t.title, 255), tile);
        return std::pair{tile.address, tile.caption};
    };
    const auto t = StorableNavTile("http://a/@", "@标题@", 255);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->address, "http://a/");
    EXPECT_EQ(t->title, "@标题");
    EXPECT_EQ(roundTrip(*t), (std::pair{QString("http://a/"), QString("@标题")}));
    const auto inner = StorableNavTile("http://u@@h/", "a@@@b", 0);
    EXPECT_EQ(roundTrip(*inner), (std::pair{QString("http://u@h/"), QString("a@b")}));
    const auto plain = StorableNavTile("http://x/", "X", 0);
    EXPECT_EQ(plain->title, "X");
    // Too long for a setting: the title is shortened, an address alone too long refused.
    const auto longTitle = StorableNavTile("http://x/", QString(200, QChar(0x6708)), 0);
    ASSERT_TRUE(longTitle.has_value());
    EXPECT_LT(longTitle->title.size(), 60);
    EXPECT_EQ(roundTrip(*longTitle).second, longTitle->title);
    EXPECT_FALSE(StorableNavTile("http://x/" + QString(200, 'a'), "t", 0).has_value());
}
