// The history database, and its window.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "history/frmhistory.h"
#include "platform/history.h"
#include "support/frameparts.h"
#include "support/testfolder.h"

namespace {

constexpr qint64 kNow = 1'800'000'000'000, kHour = 3600'000, kDay = 24 * kHour;

QStringList Urls(const QList<Suggestion> &list) {
    QStringList out;
    for (const Suggestion &s : list) out << s.url;
    return out;
}

class HistoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.filePath("history.sqlite");
        h.Open(path);
        ASSERT_TRUE(h.ready()) << h.notice().toStdString();
        h.Record("https://doc.qt.io/", "Qt 文档 Documentation", kNow - 3 * kHour, true);
        h.Record("https://doc.qt.io/", "Qt 文档 Documentation", kNow - 2 * kHour);
        h.Record("https://docs.rs/", "Rust docs", kNow - 40 * kDay);
        h.Record("https://docs.rs/", "Rust docs", kNow - 40 * kDay + 1);
        h.Record("https://example.com/", "", kNow - kHour);
        h.SetTitle("https://example.com/", "Example \"quoted\"");
    }
    QTemporaryDir dir;
    QString path;
    History h;
};

}  // namespace

// Frecency: often, lately and typed first; words anywhere in title or address, every word,
// short words too; a visit removed or cleared is no suggestion any more.
TEST_F(HistoryTest, SuggestsFindsRemovesAndClears) {
    const QList<std::pair<QString, QStringList>> cases{
        {"doc", {"https://doc.qt.io/", "https://docs.rs/"}},
        {"文档", {"https://doc.qt.io/"}},  // two letters: no three-letter index to use
        {"QT docu", {"https://doc.qt.io/"}},
        {"rust DOCS", {"https://docs.rs/"}},
        {"\"quoted\"", {"https://example.com/"}},
        {"s", {"https://doc.qt.io/", "https://example.com/", "https://docs.rs/"}},
        {"nowhere", {}},
        {"   ", {}}};
    for (const auto &[typed, urls] : cases)
        EXPECT_EQ(Urls(h.Suggest(typed, kNow)), urls) << typed.toStdString();
    EXPECT_EQ(h.Suggest("doc", kNow).value(0).title, "Qt 文档 Documentation");

    const QList<Visit> all = h.Visits();
    ASSERT_EQ(all.size(), 5);
    EXPECT_EQ(all[0].url, "https://example.com/");  // the newest first
    EXPECT_EQ(all[0].title, "Example \"quoted\"");
    const QList<Visit> rust = h.Visits("rust");
    ASSERT_EQ(rust.size(), 2);
    h.Remove({rust[0].id});
    EXPECT_EQ(Urls(h.Suggest("rust", kNow)), QStringList{"https://docs.rs/"});
    h.Remove({rust[1].id});
    EXPECT_TRUE(h.Suggest("rust", kNow).isEmpty());
    h.ClearSince(kNow - 2 * kHour - 1);  // the last two hours
    EXPECT_EQ(h.Visits().size(), 1);
    EXPECT_EQ(Urls(h.Suggest("doc", kNow)), QStringList{"https://doc.qt.io/"});
    h.ClearSince(0);
    EXPECT_TRUE(h.Visits().isEmpty());
    EXPECT_TRUE(h.Suggest("s", kNow).isEmpty());
}

// A damaged file goes aside (never over an earlier one) and a new one records; a file another
// program is writing, or a later version's, is left alone with history off, said once.
TEST_F(HistoryTest, ADamagedHeldOrLaterDatabaseNeverStopsTheBrowser) {
    h.Close();
    for (const char *aside : {"history.sqlite.damaged", "history.sqlite.damaged.1"}) {
        const bool later = QByteArray(aside).endsWith(".1");  // this one opened at its first use
        const QByteArray junk = QByteArray("not a database ").repeated(500);
        WriteBytes(path, junk);
        later ? h.OpenLater(path) : h.Open(path);
        EXPECT_TRUE(!later || ReadBytes(path) == junk);  // untouched until the first use
        ASSERT_TRUE(h.ready()) << h.notice().toStdString();
        EXPECT_TRUE(h.notice().contains("已损坏")) << h.notice().toStdString();
        EXPECT_TRUE(h.notice().contains(aside)) << h.notice().toStdString();
        EXPECT_EQ(ReadBytes(dir.filePath(aside)), junk);
        h.Record("https://new.example/", "New", kNow);
        EXPECT_EQ(h.Visits().size(), 1);
        h.Close();
    }
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(path);
        ASSERT_TRUE(other.open());
        QSqlQuery(other).exec("BEGIN EXCLUSIVE");
        h.Open(path);
        EXPECT_FALSE(h.ready());
        EXPECT_TRUE(h.notice().contains("另一个程序正在使用它")) << h.notice().toStdString();
        QSqlQuery(other).exec("PRAGMA user_version=99");
        QSqlQuery(other).exec("COMMIT");
        other.close();
    }
    QSqlDatabase::removeDatabase("other");
    h.Open(path);
    EXPECT_FALSE(h.ready());
    EXPECT_TRUE(h.notice().contains("较新")) << h.notice().toStdString();
    h.Record("https://x/", "x", kNow);  // off: nothing, no crash
    EXPECT_TRUE(h.Visits().isEmpty());
}

// The window: visits under their day, narrowed as the user types; Return opens the first
// found, Delete removes the chosen one.
TEST_F(HistoryTest, TheWindowFindsOpensAndDeletes) {
    frmHistory w(h, [] { return kNow; });
    w.show();
    auto *list = part<QTreeWidget>(&w, "lstHistory");
    ASSERT_EQ(list->topLevelItemCount(), 2);  // today, and a day forty days ago
    EXPECT_EQ(list->topLevelItem(0)->text(0), "今天");
    EXPECT_EQ(list->topLevelItem(0)->childCount(), 3);
    QSignalSpy opened(&w, &frmHistory::OpenRequested);
    auto *search = part<QLineEdit>(&w, "txtSearch");
    QTest::keyClicks(search, "rust");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->childCount(), 2);
    QTest::keyClick(search, Qt::Key_Return);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened[0][0].toString(), "https://docs.rs/");
    QTest::keyClick(search, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(h.Visits("rust").size(), 1);
    EXPECT_EQ(list->topLevelItem(0)->childCount(), 1);
}
