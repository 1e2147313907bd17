// The history database, and its window.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
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
        h.Flush();
    }
    // The file, its log and its index as bytes: what someone reading the disk would find.
    QByteArray onDisk() const {
        return ReadBytes(path) + ReadBytes(path + "-wal") + ReadBytes(path + "-shm");
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
    EXPECT_TRUE(onDisk().contains("Rust docs"));
    QSignalSpy written(&h, &History::Written);
    h.Remove({rust[0].id});
    h.Flush();
    EXPECT_EQ(Urls(h.Suggest("rust", kNow)), QStringList{"https://docs.rs/"});
    h.Remove({rust[1].id});
    h.Flush();
    EXPECT_TRUE(h.Suggest("rust", kNow).isEmpty());
    h.ClearSince(kNow - 2 * kHour - 1);  // the last two hours
    h.Flush();
    EXPECT_EQ(h.Visits().size(), 1);
    EXPECT_EQ(Urls(h.Suggest("doc", kNow)), QStringList{"https://doc.qt.io/"});
    // Each removal says what it forgot; no byte of a removed page is left anywhere.
    ASSERT_TRUE(QTest::qWaitFor([&] { return written.size() == 3; }));
    EXPECT_EQ(written[1][0].toStringList(), QStringList{"https://docs.rs/"});
    QStringList forgotten = written[2][0].toStringList();
    forgotten.sort();
    EXPECT_EQ(forgotten, (QStringList{"https://doc.qt.io/", "https://example.com/"}));
    for (const char *gone : {"docs.rs", "Rust docs", "example.com", "quoted"})
        EXPECT_FALSE(onDisk().contains(gone)) << gone;
    h.ClearSince(0);
    h.Flush();
    EXPECT_TRUE(h.Visits().isEmpty());
    EXPECT_TRUE(h.Suggest("s", kNow).isEmpty());
    EXPECT_FALSE(onDisk().contains("doc.qt.io"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return written.size() == 4; }));
    EXPECT_TRUE(written[3][1].toBool());  // everything: the address box's list goes whole
}

// The word index keeps three-letter pieces, not titles: a forgotten page's pieces leave it
// too, not only its rows. This title has one piece, stored whole.
TEST_F(HistoryTest, AForgottenPageLeavesNoPieceInTheWordIndex) {
    const QByteArray piece = "ꙮꙮꙮ";
    h.Record("https://eyes.example/", "ꙮꙮꙮꙮꙮ", kNow);
    h.Flush();
    ASSERT_TRUE(onDisk().contains(piece));
    h.Forget("https://eyes.example/");
    h.Flush();
    EXPECT_TRUE(h.Suggest("ꙮꙮꙮ", kNow).isEmpty());
    EXPECT_FALSE(onDisk().contains(piece));
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
        h.Close();  // written before it closes
        h.Open(path);
        EXPECT_EQ(h.Visits().size(), 1);
        h.Close();
    }
    {
        // Held by another program: the visits wait in the queue and are written after.
        h.Open(path);
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(path);
        ASSERT_TRUE(other.open());
        QSqlQuery(other).exec("BEGIN IMMEDIATE");
        QSignalSpy held(&h, &History::Held);
        h.Record("https://held.example/", "Held", kNow);
        h.Flush();
        EXPECT_EQ(h.Visits().size(), 1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !held.isEmpty(); }));
        EXPECT_EQ(held[0][0].toString(), "另一个程序正在使用它");
        QSqlQuery(other).exec("PRAGMA user_version=99");
        QSqlQuery(other).exec("COMMIT");
        EXPECT_TRUE(QTest::qWaitFor([&] { return h.Visits().size() == 2; }, 5000));
        // Said free once the queue is empty, just after the last write.
        EXPECT_TRUE(QTest::qWaitFor([&] { return held.last()[0].toString().isEmpty(); }, 5000));
        h.Close();
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
    h.Flush();
    EXPECT_EQ(h.Visits("rust").size(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->topLevelItem(0)->childCount() == 1; }));
    // While another program holds the file, a deletion is said to wait and the visit stays.
    auto *waiting = part<QLabel>(&w, "lblWaiting");
    QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "holder");
    other.setDatabaseName(path);
    ASSERT_TRUE(other.open());
    QSqlQuery(other).exec("BEGIN IMMEDIATE");
    h.Record("https://held.example/", "Held", kNow);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.heldBecause().isEmpty(); }));
    EXPECT_FALSE(waiting->isVisible());  // nothing asked to go
    list->setCurrentItem(list->topLevelItem(0)->child(0));
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_TRUE(waiting->isVisible());
    EXPECT_TRUE(waiting->text().contains("另一个程序正在使用它"));
    EXPECT_EQ(list->topLevelItem(0)->childCount(), 1);
    QSqlQuery(other).exec("COMMIT");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !waiting->isVisible(); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == 0; }));
    other.close();
    other = {};
    QSqlDatabase::removeDatabase("holder");
}
