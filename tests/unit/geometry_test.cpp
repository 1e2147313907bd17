#include "core/geometry.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/store.h"

TEST(GeometryTest, StoredTwipsBecomePixelsAndBadValuesKeepTheDefault) {
    const QList<QRect> screens{QRect(0, 0, 1920, 1080)};
    const QRect fallback(60, 60, 1000, 700);
    StoredGeometry s{900, 1500, 15000, 9000};
    EXPECT_EQ(RestoredGeometry(s, fallback, 15, screens), QRect(100, 60, 1000, 600));
    StoredGeometry partial{900, std::nullopt, std::nullopt, 9000};
    EXPECT_EQ(RestoredGeometry(partial, fallback, 15, screens), QRect(60, 60, 1000, 600));
    StoredGeometry tiny{0, 0, 15, 15};  // unusable size
    EXPECT_EQ(RestoredGeometry(tiny, fallback, 15, screens).size(), fallback.size());
}

TEST(GeometryTest, AFrameOffEveryScreenComesBackToTheNearest) {
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QRect fallback(60, 60, 1000, 700);
    StoredGeometry farRight{0, 5000 * 15.0, 800 * 15.0, 600 * 15.0};
    const QRect r = RestoredGeometry(farRight, fallback, 15, screens);
    EXPECT_TRUE(screens[1].contains(r)) << r.x() << "," << r.y();
    StoredGeometry farUpLeft{-3000 * 15.0, -3000 * 15.0, 3000 * 15.0, 2000 * 15.0};
    const QRect r2 = RestoredGeometry(farUpLeft, fallback, 15, screens);
    EXPECT_TRUE(screens[0].contains(r2));
    // Partly visible stays where it was.
    StoredGeometry partly{-100 * 15.0, -200 * 15.0, 800 * 15.0, 600 * 15.0};
    EXPECT_EQ(RestoredGeometry(partly, fallback, 15, screens).topLeft(), QPoint(-200, -100));
}

TEST(GeometryTest, FileRoundTripAsSinglePrecisionText) {
    QTemporaryDir dir;
    const QString form = dir.filePath("Form.ini");
    WriteStoredGeometry(form, QRect(-10, 20, 1024, 700), 15);
    EXPECT_EQ(ReadIni("Form", "Left", form), "-150");
    EXPECT_EQ(ReadIni("Form", "Width", form), "15360");
    const StoredGeometry s = ReadStoredGeometry(form);
    EXPECT_EQ(*s.top, 300);
    EXPECT_EQ(*s.height, 10500);
    WriteIni("Form", "Top", "abc", form);
    EXPECT_FALSE(ReadStoredGeometry(form).top.has_value());
    EXPECT_EQ(SingleText(1234567.89), "1234568");
}
