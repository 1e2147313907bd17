// Bookmarks and history from other browsers, and the bookmarks out again.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "core/bookmarks.h"
#include "core/bookmarktree.h"
#include "core/store.h"
#include "import/bookmarkexport.h"
#include "import/frmimport.h"
#include "support/browserfixtures.h"
#include "support/fakeplatform.h"
#include "support/testfolder.h"

namespace {

constexpr qint64 kNow = 1'800'000'000'000, kDay = 24 * 3600'000LL;

class ImportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.useAsAppDir();
        platform.clock_.fixedNow = QDateTime::fromMSecsSinceEpoch(kNow);
        platform.history().Open(folder.file("数据/history.sqlite"));
    }
    // Opens the dialog on home, unticks a row, imports what it ticks, and gives its summary.
    QString import(const QString &bookmarks, QStringList *listed = nullptr, QString untick = {}) {
        frmImport d(platform, bookmarks, home.path());
        if (listed)
            for (int i = 0; i < d.findChild<QListWidget *>()->count(); ++i)
                *listed << d.findChild<QListWidget *>()->item(i)->text();
        for (QListWidgetItem *row : d.findChild<QListWidget *>()->findItems(untick, {}))
            row->setCheckState(Qt::Unchecked);
        if (!platform.dialogs_.files.empty()) d.findChild<QPushButton *>("cmdHtml")->click();
        auto *go = d.findChild<QPushButton *>("cmdImport");
        go->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return go->isEnabled(); }, 10000));
        return d.findChild<QLabel *>("lblSummary")->text();
    }
    QString bookmarks() const { return folder.file("书签"); }
    TestFolder folder;
    QTemporaryDir home;
    FakePlatform platform;
};

}  // namespace

// Chromium, Firefox (held by its running browser) and a bookmark file: their folders as
// folders, names made safe, addresses no tab opens skipped and counted, the last 90 days of
// visits with their times, typed ones ranked first, a source's repeats once; a second import
// adds what was unticked; a damaged source is skipped with its reason; Firefox's profiles in
// the config folder, wherever the user keeps it, each listed once.
TEST_F(ImportTest, OtherBrowsersBookmarksAndHistoryComeOverOnce) {
    MakeChromiumProfile(
        home.path(),
        R"([{"type":"folder","name":"工作","children":[{"type":"url","name":"报表",)"
        R"("url":"http://work.example/report"},{"type":"url","name":"报表","url":)"
        R"("http://work.example/report"}]},{"type":"url","name":"A/B 测试",)"
        R"("url":"https://ab.example/"},{"type":"url","name":"..","url":"https://dots.example/"},)"
        R"j({"type":"url","name":"书签小工具","url":"javascript:alert(1)"},)j" +
            QString(R"({"type":"url","name":"%1","url":"https://long.example/"}])")
                .arg(QString(200, u'长')),
        {{"https://typed.example/", "Typed Kz", kNow - 5 * kDay, true},
         {"https://linked.example/", "Linked Kz", kNow - 2 * kDay},
         {"https://old.example/", "Old", kNow - 200 * kDay},
         {"chrome://settings/", "设置", kNow - kDay}});
    const QString places =
        MakeFirefoxProfile(home.path(),
                           {{"", "新闻", "http://news.example/"},
                            {"旅行", "地图", "http://map.example/"},
                            {"", "最常访问", "place:sort=8&maxResults=10"}},
                           {{"https://fox.example/", "Fox page", kNow - 3 * kDay},
                            {"https://fox.example/", "Fox page", kNow - 3 * kDay}},
                           ".config/mozilla/firefox");
    // Firefox keeps its database locked while it runs.
    QSqlDatabase held = QSqlDatabase::addDatabase("QSQLITE", "held");
    held.setDatabaseName(places);
    ASSERT_TRUE(held.open());
    QSqlQuery(held).exec("PRAGMA locking_mode=EXCLUSIVE");
    QSqlQuery(held).exec("BEGIN EXCLUSIVE");
    const QString html = home.filePath("exported.html");
    WriteBytes(html,
               "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p><DT><H3>外层 &amp; 内</H3>\n"
               "<DL><p><DT><H3>内层</H3><DL><p><DT><A HREF=\"http://deep.example/?a=1&amp;b=2\""
               " ADD_DATE=\"1\">深处/页面</A></DL><p></DL><p>"
               "<DT><A HREF=\"javascript:void(0)\">小工具</A></DL>");
    platform.dialogs_.files = {html};

    QStringList listed;
    const QString summary =
        import(bookmarks(), &listed, "Firefox（default-release）：历史记录 1 条");
    EXPECT_EQ(listed,
              (QStringList{"Chromium（Default）：书签 6 个", "Chromium（Default）：历史记录 3 条",
                           "Firefox（default-release）：书签 3 个",
                           "Firefox（default-release）：历史记录 1 条"}));
    EXPECT_EQ(summary.section('\n', 0, 0), "导入完成：新增书签 7 个、历史记录 2 条。");
    EXPECT_EQ(summary.section('\n', 1, 1), "来源中重复的书签 1 个只导入一次。");
    EXPECT_TRUE(summary.contains("javascript:）：书签 3 个、历史记录 1 条。"))
        << summary.toStdString();
    const QString chromium = bookmarks() + "/导入/Chromium（Default）/书签栏/";
    EXPECT_EQ(ReadBookmarkFile(chromium + "工作/报表.zvb"), "http://work.example/report");
    EXPECT_EQ(ReadBookmarkFile(chromium + "A_B 测试.zvb"), "https://ab.example/");
    EXPECT_EQ(ReadBookmarkFile(chromium + "__.zvb"), "https://dots.example/");
    const QString longName = QString(82, u'长') + ".zvb";  // 246 bytes, room for "(1)"
    EXPECT_EQ(ReadBookmarkFile(chromium + longName), "https://long.example/");
    EXPECT_EQ(
        ReadBookmarkFile(bookmarks() + "/导入/Firefox（default-release）/书签菜单/旅行/地图.zvb"),
        "http://map.example/");
    EXPECT_EQ(ReadBookmarkFile(bookmarks() + "/导入/exported/外层 & 内/内层/深处_页面.zvb"),
              "http://deep.example/?a=1&b=2");
    platform.history().Flush();
    QStringList visits;
    for (const Visit &v : platform.history().Visits())
        visits << v.url + QString::number((kNow - v.when) / kDay);
    EXPECT_EQ(visits, (QStringList{"https://linked.example/2", "https://typed.example/5"}));
    const QList<Suggestion> kz = platform.history().Suggest("kz", kNow);
    ASSERT_EQ(kz.size(), 2);
    EXPECT_EQ(kz[0].url, "https://typed.example/");  // typed counts double: before a later link

    const auto before = FilesUnder(bookmarks());
    platform.dialogs_.files = {html};
    EXPECT_EQ(
        import(bookmarks()).section('\n', 0, 1),
        "导入完成：新增书签 0 个、历史记录 1 条。\n已有的书签 7 个、历史记录 2 条未重复导入。");
    EXPECT_EQ(FilesUnder(bookmarks()), before);
    EXPECT_EQ(platform.history().Visits().size(), 3);

    ASSERT_TRUE(QDir(home.path()).rename(".config", "xdg"));
    QFile::link(home.filePath("xdg/mozilla"), home.filePath(".mozilla"));  // where it used to be
    qputenv("XDG_CONFIG_HOME", home.filePath("xdg").toUtf8());
    WriteBytes(home.filePath("xdg/chromium/Default/History"), QByteArray(4096, 'x'));
    listed.clear();
    import(bookmarks(), &listed);
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(listed.value(1), "Chromium（Default）：历史记录无法读取（文件已损坏）");
    EXPECT_EQ(listed.mid(2), (QStringList{"Firefox（default-release）：书签 3 个",
                                          "Firefox（default-release）：历史记录 1 条"}));
    held.close();
}

// Export writes the whole folder as one file other browsers read; importing it into an
// empty bookmark folder gives back the same files.
TEST_F(ImportTest, ExportedBookmarksComeBackTheSame) {
    QDir(bookmarks()).mkpath("工作/深处");
    const std::pair<const char *, const char *> marks[] = {
        {"新闻.zvb", "http://news.example/?q=a&b=<c>"},
        {"工作/报表 \"季度\".zvb", "https://work.example/r"},
        {"工作/深处/名字(1).zvb", "file:///home/user/a%20b.html"},
    };
    for (const auto &[name, url] : marks)
        ASSERT_EQ(WriteBookmarkFile(url, bookmarks() + "/" + name), 0);
    const QString out = home.filePath("bookmarks.html");
    platform.dialogs_.files = {out};
    ExportBookmarks(platform.dialogs(), nullptr, bookmarks());
    EXPECT_TRUE(ReadBytes(out).startsWith("<!DOCTYPE NETSCAPE-Bookmark-file-1>"));

    TestFolder other;
    QDir(other.file("书签")).removeRecursively();
    QDir().mkpath(other.file("书签"));
    platform.dialogs_.files = {out};
    import(other.file("书签"));
    EXPECT_EQ(FilesUnder(other.file("书签/导入/bookmarks")), FilesUnder(bookmarks()));
}

// A file damaged in one place gives what the rest holds: a bad UTF-8 sequence in a Chromium
// file, a link left open (or cut off) in a bookmark file.
TEST(BookmarkTreeTest, ADamagedPlaceLosesOnlyItself) {
    const auto chromium = ParseChromiumBookmarks(
        "{\"roots\":{\"bookmark_bar\":{\"name\":\"b\",\"children\":[{\"type\":\"url\","
        "\"name\":\"a\xff\",\"url\":\"http://a/\"},{\"type\":\"url\",\"name\":\"b\","
        "\"url\":\"http://b/\"}]}}}");
    ASSERT_TRUE(chromium);
    EXPECT_EQ(chromium->count(), 2);
    QStringList links;
    for (const PlacedBookmark &b : Flatten(ParseBookmarkHtml(
             "<DL><p><DT><A HREF=\"http://a/\">A\n<DT><H3>F</H3><DL><p><DT><A HREF=\"http://b/\">B"
             "</A><DT><A HREF=\"http://c/\">C\n</DL><DT><A HREF=\"http://d/\">D")))
        links << b.folders.join('/') + ':' + b.entry.name + '@' + b.entry.url;
    EXPECT_EQ(links,
              QStringList({"F:B@http://b/", "F:C@http://c/", ":A@http://a/", ":D@http://d/"}));
}
