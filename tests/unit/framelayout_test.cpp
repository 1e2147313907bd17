#include <gtest/gtest.h>

#include "shell/framelayout.h"
#include "skins/colour.h"

using namespace chrome;

TEST(FrameLayoutTest, ResizeRulesInTwips) {
    const ResizeInput in{15000, QRect(960, 0, 450, 450)};
    const ResizeLayout r = OnResize(in);
    EXPECT_EQ(r.logoLeft, 15000 - 2775 + 90);
    ASSERT_TRUE(r.addressWidth.has_value());
    EXPECT_EQ(*r.addressWidth, 15000 - (960 + 450 + 2775));
    EXPECT_EQ(r.imgBG, QRect(0, 0, 15000 - 2775 + 120, 615));
    EXPECT_EQ(r.imgStaBG, QRect(0, 0, 15120, 300));
    EXPECT_EQ(r.zoomLeft, 15000 - 1185);
    EXPECT_EQ(r.mouseLeft, 15000 - 1185 - 1575);
    // The address box's right end meets the logo area (it starts 90 right of button 3).
    EXPECT_EQ(960 + 450 + 90 + *r.addressWidth, r.logoLeft);
    // Narrower than the buttons and the logo together: the width step is skipped.
    EXPECT_FALSE(OnResize({3000, QRect(960, 0, 450, 450)}).addressWidth.has_value());
    // The Part's layout while the box keeps 150 pixels; below, the logo's decoration goes
    // first and the box takes its room.
    for (const int box : {2250, 2249, 0, -1080, -1081}) {
        const ResizeLayout n = OnResize({960 + 450 + 2775 + box, QRect(960, 0, 450, 450)});
        const int cut = box < 2250 ? 1080 : 0;
        EXPECT_EQ(n.logoCut, cut) << box;
        EXPECT_EQ(n.addressWidth, box + cut >= 0 ? std::optional<int>(box + cut) : std::nullopt)
            << box;
        EXPECT_EQ(n.logoLeft, 960 + 450 + box + cut + 90) << box;
    }
}

TEST(FrameLayoutTest, ProgressBarWidth) {
    const QRect b3(960, 0, 450, 450);
    EXPECT_EQ(ProgressWidth(15000, b3, 2775, 50, 100), (15000 - 4185) / 2);
    EXPECT_EQ(ProgressWidth(15000, b3, 2775, 100, 100), 15000 - 4185);
    EXPECT_FALSE(ProgressWidth(15000, b3, 2775, 10, 0).has_value());
    EXPECT_FALSE(ProgressWidth(15000, b3, 2775, -1, 100).has_value());  // done
    EXPECT_FALSE(ProgressWidth(3000, b3, 2775, 50, 100).has_value());   // negative area
}

TEST(FrameLayoutTest, SkinPositions) {
    SkinInput in;
    in.button[0] = in.button[1] = in.button[2] = in.button[3] = QSize(450, 450);
    in.button[4] = QSize(450, 450);
    in.addressHeight = 330;
    const SkinPositions p = PlaceForSkin(in);
    EXPECT_EQ(p.button[2], QPoint(900, (615 - 450) / 2));
    EXPECT_EQ(p.address.x(), 1440);  // button 2 of width 450 at left 900
    EXPECT_EQ(p.address.y(), 615 - 330);
    EXPECT_EQ(p.progressLeft, 1440);
    EXPECT_EQ(p.button[3], p.button[2]);
    EXPECT_EQ(p.button[1].x(), 450);
    // The menu button is centred on the first logo shape.
    EXPECT_EQ(p.button[4].x(), kShape0.x() + (kShape0.width() - 450) / 2);
    EXPECT_EQ(p.button[4].y(), (855 - 450) / 2);
    EXPECT_EQ(p.staBarHeight, 285);
    EXPECT_EQ(p.lineY, 427);
    EXPECT_EQ(p.shapeTop[0], (855 - kShape0.height()) / 2);
    // Different widths move what follows them.
    in.button[0] = QSize(300, 300);
    in.button[1] = QSize(600, 400);
    const SkinPositions q = PlaceForSkin(in);
    EXPECT_EQ(q.button[1].x(), 300);
    EXPECT_EQ(q.button[2].x(), 900);
    EXPECT_EQ(q.button[1].y(), (615 - 400) / 2);
}

TEST(ColourTest, StoredColoursBothWays) {
    EXPECT_EQ(BgrFromText("255"), 255);
    EXPECT_EQ(BgrFromText(" 16777215 "), 16777215);
    EXPECT_EQ(BgrFromText("&HFF0000"), 0xFF0000);
    EXPECT_EQ(BgrFromText("&H80000005&"), qint32(0x80000005));
    EXPECT_FALSE(BgrFromText("red").has_value());
    EXPECT_FALSE(BgrFromText("").has_value());
    EXPECT_FALSE(BgrFromText("99999999999").has_value());
    EXPECT_EQ(ColourFromBgr(255), QColor(255, 0, 0));  // red in the lowest byte
    EXPECT_EQ(ColourFromBgr(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(BgrFromColour(QColor(1, 2, 3)), 0x030201);
}
