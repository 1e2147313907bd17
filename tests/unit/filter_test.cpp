#include <gtest/gtest.h>

#include <QThread>

#include "services/contentfilter.h"

#include <QUrl>

#include "core/clock.h"
#include "services/parental.h"

TEST(ContentFilterTest, SwitchListsAndOrder) {
    EXPECT_EQ(FilteredWord("Free PORN Videos", {"0", "111", "porn"}), "");
    EXPECT_EQ(FilteredWord("Free PORN Videos", {"1", "000", "porn"}), "");
    EXPECT_EQ(FilteredWord("Free PORN Videos", {"1", "100", ""}), "porn");
    EXPECT_EQ(FilteredWord("Free PORN Videos", {"1", "011", ""}), "");
    EXPECT_EQ(FilteredWord("恐怖片：肢解", {"1", "010", ""}), "肢解");
    EXPECT_EQ(FilteredWord("恐怖片：肢解", {"1", "100", ""}), "");
    // The first match ends the search, across the lists in order.
    EXPECT_EQ(FilteredWord("fuck 杀人 porn", {"1", "111", "杀人"}), "fuck");
    EXPECT_EQ(FilteredWord("杀人 porn", {"1", "011", "porn"}), "杀人");
    EXPECT_EQ(FilteredWord("a kiss 吻", {"1", "100", ""}), "吻");
    EXPECT_EQ(FilteredWord("", {"1", "111", "x"}), "");
    EXPECT_EQ(FilteredWord("porn", {" 1 ", "100", ""}), "porn");
    EXPECT_EQ(FilteredWord("porn", {"yes", "100", ""}), "");
    EXPECT_EQ(FilteredWord("porn", {"1", "1", ""}), "porn");  // short flags: missing ones off
}

TEST(ContentFilterTest, TheUsersWordsAnyCaseEmptyPiecesSkipped) {
    EXPECT_EQ(FilteredWord("Lucky casino night", {"1", "001", "poker;casino"}), "casino");
    EXPECT_EQ(FilteredWord("casino night", {"1", "001", "Casino"}), "Casino");
    EXPECT_EQ(FilteredWord("A clean page", {"1", "001", "x;;y;"}), "");
    EXPECT_EQ(FilteredWord("A clean page", {"1", "001", ""}), "");
    EXPECT_EQ(FilteredWord("A clean page", {"1", "001", " clean"}), " clean");  // not trimmed
    EXPECT_EQ(FilteredWord("Aclean", {"1", "001", " clean"}), "");
    EXPECT_EQ(FilteredWord("赌场大全", {"1", "001", "赌场"}), "赌场");
}

namespace {
QDateTime at(int dayOfWeek, int hour, int minute = 0) {
    // 2026-12-07 is a Monday.
    return QDateTime(QDate(2026, 12, 6 + dayOfWeek), QTime(hour, minute));
}
}  // namespace

// Until a page has a title the engine shows its address; "…?wd=porn" is no title.
TEST(ContentFilterTest, AnAddressShownAsTheTitleIsNoTitle) {
    const QUrl search("http://127.0.0.1:8000/s?wd=porn");
    EXPECT_TRUE(TitleIsAddress("127.0.0.1:8000/s?wd=porn", search));
    EXPECT_TRUE(TitleIsAddress("http://127.0.0.1:8000/s?wd=porn", search));
    EXPECT_TRUE(TitleIsAddress("", search));
    EXPECT_TRUE(TitleIsAddress("www.a.cn", QUrl("http://www.a.cn/")));
    EXPECT_TRUE(TitleIsAddress("a.cn/搜索?q=色情", QUrl("https://a.cn/%E6%90%9C%E7%B4%A2?q=色情")));
    EXPECT_TRUE(TitleIsAddress("page.html", QUrl::fromLocalFile("/tmp/x/page.html")));
    EXPECT_FALSE(TitleIsAddress("Free porn", search));
    EXPECT_FALSE(TitleIsAddress("127.0.0.1:8000", search));  // a title that only names the host
}

TEST(ParentalTest, WeekdaysAndHoursInclusive) {
    const ParentalSettings workdays{"1", "0", "4", "8", "17"};
    EXPECT_TRUE(BrowsingBlocked(at(3, 17, 30), workdays));
    EXPECT_TRUE(BrowsingBlocked(at(1, 8, 0), workdays));
    EXPECT_FALSE(BrowsingBlocked(at(3, 18, 0), workdays));
    EXPECT_FALSE(BrowsingBlocked(at(3, 7, 59), workdays));
    EXPECT_FALSE(BrowsingBlocked(at(6, 10), workdays));
    EXPECT_TRUE(BrowsingBlocked(at(5, 10), workdays));
    EXPECT_FALSE(BrowsingBlocked(at(3, 10), {"0", "0", "4", "8", "17"}));
    EXPECT_FALSE(BrowsingBlocked(at(3, 10), {"", "0", "4", "8", "17"}));
    // Text after the number, as "8点", reads as the number.
    EXPECT_TRUE(BrowsingBlocked(at(3, 8), {"1", "0", "4", "8点", "17点"}));
    // Both hours empty: only 00:00 to 00:59.
    EXPECT_TRUE(BrowsingBlocked(at(3, 0, 59), {"1", "0", "6", "", ""}));
    EXPECT_FALSE(BrowsingBlocked(at(3, 1), {"1", "0", "6", "", ""}));
    // No last weekday chosen: never.
    EXPECT_FALSE(BrowsingBlocked(at(1, 10), {"1", "0", "-1", "0", "23"}));
    EXPECT_FALSE(BrowsingBlocked(at(7, 10), {"1", "-1", "-1", "0", "23"}));
    EXPECT_TRUE(BrowsingBlocked(at(7, 23, 59), {"1", "0", "6", "0", "23"}));
    // Days beyond any int: held at its end (a week that wraps from there), never overflowed.
    EXPECT_TRUE(BrowsingBlocked(at(3, 10), {"1", "9e99", "3", "0", "23"}));
    EXPECT_FALSE(BrowsingBlocked(at(4, 10), {"1", "2", "9e99", "0", "1"}));
}

TEST(ParentalTest, RangesWrapAroundAsUsersReadThem) {
    const ParentalSettings weekend{"1", "4", "0", "0", "23"};  // Friday to Monday
    EXPECT_TRUE(BrowsingBlocked(at(5, 12), weekend));
    EXPECT_TRUE(BrowsingBlocked(at(7, 12), weekend));
    EXPECT_TRUE(BrowsingBlocked(at(1, 12), weekend));
    EXPECT_FALSE(BrowsingBlocked(at(2, 12), weekend));
    EXPECT_FALSE(BrowsingBlocked(at(4, 12), weekend));
    const ParentalSettings night{"1", "0", "6", "22", "6"};
    EXPECT_TRUE(BrowsingBlocked(at(3, 23), night));
    EXPECT_TRUE(BrowsingBlocked(at(3, 2), night));
    EXPECT_TRUE(BrowsingBlocked(at(3, 6, 59), night));
    EXPECT_FALSE(BrowsingBlocked(at(3, 7), night));
    EXPECT_FALSE(BrowsingBlocked(at(3, 21, 59), night));
}

TEST(ParentalTest, TheRealClockTellsTheTimeAndNeverRunsBack) {
    const Clock clock;
    EXPECT_LE(qAbs(clock.now().secsTo(QDateTime::currentDateTime())), 2);
    const qint64 first = clock.steadyMs();
    QThread::msleep(20);
    EXPECT_GE(clock.steadyMs() - first, 19);
}
