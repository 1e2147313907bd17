#include <gtest/gtest.h>

#include "downloads/progress.h"
#include "downloads/stacking.h"
#include "services/updatecheck.h"

TEST(DownloadProgressTest, KilobyteFiguresAndBar) {
    EXPECT_EQ(ProgressText(1024), "已下载: 1 KB");
    EXPECT_EQ(ProgressText(2048), "已下载: 2 KB");
    EXPECT_EQ(ProgressText(3000), "已下载: 2.929688 KB");
    EXPECT_EQ(ProgressText(1536), "已下载: 1.5 KB");
    EXPECT_EQ(ProgressText(0), "已下载: 0 KB");
    EXPECT_EQ(ProgressText(200LL * 1024 * 1024), "已下载: 204800 KB");
    EXPECT_EQ(ProgressText(3LL * 1024 * 1024 * 1024), "已下载: 3145728 KB");
    EXPECT_EQ(BarWidth(1500, 3000, 300), 150);
    EXPECT_EQ(BarWidth(3000, 3000, 300), 300);
    EXPECT_FALSE(BarWidth(10, std::nullopt, 300).has_value());
    EXPECT_FALSE(BarWidth(0, 0, 300).has_value());
    EXPECT_EQ(BarWidth(5LL << 30, 10LL << 30, 300), 150);  // beyond 32 bits
}

TEST(StackingTest, TasksOnePitchApartAndRestackedAfterRemoval) {
    using namespace stacking;
    QMap<int, int> tops;
    EXPECT_EQ(NewTaskTop(tops), 0);
    tops.insert(1, 0);
    EXPECT_EQ(NewTaskTop(tops), 1215);
    tops.insert(2, 1215);
    tops.insert(3, 2430);
    tops.remove(2);
    tops = Restack(tops.keys());
    EXPECT_EQ(tops.value(3), 1215);
    EXPECT_EQ(NewTaskTop(tops), 2430);
    EXPECT_EQ(Scrolled({1, 3, 4}, 500), (QMap<int, int>{{1, -500}, {3, 715}, {4, 1930}}));
    EXPECT_FALSE(ScrollRange(4860, 4860).has_value());
    EXPECT_EQ(ScrollRange(6075, 4860), 1215);
    // Positions are not limited to 16 bits.
    QList<int> many;
    for (int i = 1; i <= 40; ++i) many << i;
    EXPECT_EQ(Restack(many).value(40), 39 * 1215);
    EXPECT_GT(Restack(many).value(40), 32767);
}

TEST(UpdateCheckTest, VersionsCompareInOrderAndTheQuestion) {
    const Version own{1, 1, 0};
    auto newer = [&](const QString &page) {
        return IsNewer(PublishedVersion(page.split(',')), own);
    };
    EXPECT_FALSE(newer("1,1,0,http://x/p.zip,2026-01-01,note"));
    EXPECT_TRUE(newer("1,1,1,u,d,n"));
    EXPECT_TRUE(newer("2,0,0,u,d,n"));
    EXPECT_TRUE(newer("1,2,0"));
    EXPECT_FALSE(newer("1,0,5,u,d,n"));  // lower, whatever its revision
    EXPECT_FALSE(newer("0,9,9,u,d,n"));
    EXPECT_FALSE(newer("x,y,z"));
    EXPECT_TRUE(newer(" 1 ,1,2版"));
    const QStringList f =
        QString("1,1,1,http://h/pkg.zip,2026-12-01,修复了若干问题\r\n").split(',');
    EXPECT_EQ(UpdateQuestion(own, f),
              "发现新版本：\r\n程序版本: 1.1.0\r\n新版本: 1.1.1\r\n更新时间: 2026-12-01\r\n"
              "修复了若干问题\r\n\r\n是否下载？");
}
