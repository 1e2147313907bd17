#include "core/textfiles.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/bookmarks.h"
#include "core/desktopentry.h"
#include "core/session.h"

namespace {
QString fileWith(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}
}  // namespace

TEST(FileNameFromUrlTest, LastSegmentQueryAndDecoration) {
    EXPECT_EQ(FileNameFromUrl("http://h/a/b/file.zip"), "file.zip");
    EXPECT_EQ(FileNameFromUrl("http://h/dir/"), "");
    EXPECT_EQ(FileNameFromUrl(""), "");
    EXPECT_EQ(FileNameFromUrl("noslash.exe"), "noslash.exe");
    EXPECT_EQ(FileNameFromUrl("http://h/file.zip?v=2"), "v=2");
    EXPECT_EQ(FileNameFromUrl("http://h/download.php?id=7"), "id=7");
    EXPECT_EQ(FileNameFromUrl("http://h/get.php?setup.exe"), "setup.exe");
    EXPECT_EQ(FileNameFromUrl("http://h/x?a/b"), "b");
    EXPECT_EQ(FileNameFromUrl("http://h/photo.jpg_640x480"), "photo.jpg");
    EXPECT_EQ(FileNameFromUrl("http://h/my_file.zip"), "my_file.zip");
    EXPECT_EQ(FileNameFromUrl("http://h/read_me"), "read");
    EXPECT_EQ(FileNameFromUrl("http://h/archive.tar.gz_1"), "archive.tar.gz");
    EXPECT_EQ(FileNameFromUrl("http://h/a_b.c_d_e"), "a_b.c");
    EXPECT_EQ(FileNameFromUrl("http://h/" + QString(40000, 'x')), "");
}

TEST(ReadTextFileTest, LinesEndAtCrAndEachGetsCrLf) {
    QTemporaryDir dir;
    EXPECT_EQ(ReadTextFile(fileWith(dir, "empty", "")), "");
    EXPECT_EQ(ReadTextFile(dir.filePath("missing")), "");
    EXPECT_EQ(ReadTextFile(fileWith(dir, "ab", "a\r\nb")), "a\r\nb\r\n");
    EXPECT_EQ(ReadTextFile(fileWith(dir, "ab2", "a\r\nb\r\n")), "a\r\nb\r\n");
    EXPECT_EQ(ReadTextFile(fileWith(dir, "cr", "a\rb")), "a\r\nb\r\n");
    EXPECT_EQ(ReadTextFile(fileWith(dir, "lf", "a\nb")), "a\nb\r\n");  // a lone LF stays
    EXPECT_EQ(ReadTextFile(fileWith(dir, "blank", "a\r\n\r\nb")), "a\r\n\r\nb\r\n");
    EXPECT_EQ(ReadTextFile(fileWith(dir, "gbk", "\xD6\xD0\xCE\xC4")),
              QString::fromUtf8("中文\r\n"));
    EXPECT_EQ(ReadTextFile(dir.path()), "");  // a folder is no text file
}

TEST(BookmarkFileTest, WrittenAddressReadsBackAndLinesJoin) {
    QTemporaryDir dir;
    const QString path = dir.filePath("新浪.zvb");
    EXPECT_EQ(WriteBookmarkFile("http://例子.cn/页", path), 0);
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    EXPECT_TRUE(f.readAll().endsWith("\r\n"));
    EXPECT_EQ(ReadBookmarkFile(path), "http://例子.cn/页");
    EXPECT_EQ(WriteBookmarkFile("http://second/", path), 0);  // replaces
    EXPECT_EQ(ReadBookmarkFile(path), "http://second/");
    EXPECT_EQ(ReadBookmarkFile(fileWith(dir, "multi.zvb", "http://a/\r\nb\r\nc")), "http://a/bc");
    EXPECT_EQ(ReadBookmarkFile(fileWith(dir, "nobreak.zvb", "http://x/")), "http://x/");
    EXPECT_EQ(ReadBookmarkFile(dir.filePath("missing.zvb")), "");
    QString why;
    EXPECT_EQ(WriteBookmarkFile("http://x/", dir.filePath("no/such/folder.zvb"), &why), 1);
    EXPECT_FALSE(why.isEmpty());
    // Names stay inside the folder: separators and control characters are replaced.
    EXPECT_EQ(BookmarkFileName("a/../../b"), "a_.._.._b.zvb");
    EXPECT_EQ(BookmarkFileName("新闻\t标题\n"), "新闻_标题_.zvb");
    EXPECT_EQ(BookmarkFileName("C:\\x *?<>|"), "C:\\x *?<>|.zvb");  // fine on this system
    EXPECT_EQ(BookmarkFileName(""), ".zvb");
    EXPECT_TRUE(IsBookmarkPath("a.zvb"));
    EXPECT_FALSE(IsBookmarkPath("a.ZVB"));
    EXPECT_FALSE(IsBookmarkPath("\"a.zvb\""));
}

TEST(TabCaptionTest, NoReorderingAndNoCharacterCutApart) {
    EXPECT_EQ(TabCaption(QString::fromUtf8("report\u202Egnp.exe")), "reportgnp.exe");
    EXPECT_EQ(WithoutBidiControls(QString::fromUtf8("a\u2066b\u200Fc\u061C")), "abc");
    const QString short24 = QString(24, 'x');
    EXPECT_EQ(TabCaption(short24), short24);
    EXPECT_EQ(TabCaption(QString(25, 'x')), QString(23, 'x') + QChar(0x2026));
    // Emoji (surrogate pairs) and a letter with its combining accent count as one each.
    const QString smile = QString::fromUtf8("😀"), accented = QString::fromUtf8("e\u0301");
    EXPECT_EQ(TabCaption(smile.repeated(30)), smile.repeated(23) + QChar(0x2026));
    EXPECT_EQ(TabCaption(accented.repeated(24)), accented.repeated(24));
    EXPECT_EQ(TabCaption(accented.repeated(25)), accented.repeated(23) + QChar(0x2026));
}

TEST(DesktopEntryTest, ShortcutNamesAndExecArgumentsThatArriveWhole) {
    EXPECT_EQ(ShortcutFileName("百度一下"), "百度一下.desktop");
    EXPECT_EQ(ShortcutFileName("Page.DESKTOP"), "Page.DESKTOP");  // no second extension
    EXPECT_EQ(ShortcutFileName("a/../b\nc"), "a_.._b_c.desktop");
    EXPECT_EQ(ShortcutFileName(".."), "Telvano.desktop");
    EXPECT_EQ(ShortcutFileName(""), "Telvano.desktop");
    // Quoted for the Exec rules, "%" doubled for the field codes, "\" doubled for the
    // string rules.
    EXPECT_EQ(ExecArgument("/opt/my browser/olumetta"), "\"/opt/my browser/olumetta\"");
    EXPECT_EQ(ExecArgument("http://h/?q=%20&x=$HOME`id`\"\\"),
              "\"http://h/?q=%%20&x=\\\\$HOME\\\\`id\\\\`\\\\\"\\\\\\\\\"");
    const QString entry =
        ShortcutEntry("标题\n[Evil]", "/opt/o", "http://h/", "/opt/", "web-browser");
    EXPECT_TRUE(entry.contains("\nName=标题 [Evil]\n"));  // one line, no new group
    EXPECT_TRUE(entry.contains("\nExec=/opt/o http://h/\n"));
    EXPECT_EQ(ExecArgument("/usr/bin/olumetta"), "/usr/bin/olumetta");
    EXPECT_EQ(ExecArgument("http://h/a%20b"), "http://h/a%%20b");
    EXPECT_TRUE(entry.contains("\nComment=Telvano桌面快捷方式\n"));
    EXPECT_TRUE(entry.contains("\nPath=/opt/\n"));
    EXPECT_TRUE(BrowserEntry("/opt/o", "web-browser")
                    .contains("\nMimeType=x-scheme-handler/http;x-scheme-handler/https;text/html;"
                              "application/x-olumetta-bookmark;\n"));
}

// A session file: read back whole; another engine version's history streams dropped, the
// addresses kept; cut short or padded, not read at all.
TEST(SessionFile, RoundTripOtherEngineAndDamage) {
    Session s;
    s.tabs = {{"http://a/", "A", "stream", 150, true}, {"http://b/", "B", {}, 100, false}};
    s.active = 1;
    s.offered = {{"http://c/", "C", {}, 100, true}};
    const QByteArray bytes = EncodeSession(s, "6.4.2");
    const auto same = DecodeSession(bytes, "6.4.2");
    ASSERT_TRUE(same);
    ASSERT_EQ(same->offered.size(), 1);
    EXPECT_TRUE(same->offered[0].locked);
    EXPECT_EQ(same->tabs[0].history, "stream");
    EXPECT_EQ(same->tabs[0].zoom, 150);
    EXPECT_TRUE(same->tabs[0].locked);
    EXPECT_EQ(same->active, 1);
    const auto other = DecodeSession(bytes, "6.8.0");
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->tabs[0].history.isEmpty());
    EXPECT_EQ(other->tabs[0].url, "http://a/");
    for (const QByteArray &bad : {bytes.left(bytes.size() - 1), bytes + "x", QByteArray("OLSS")})
        EXPECT_FALSE(DecodeSession(bad, "6.4.2"));
    // An earlier version's file: the same without the offered tabs.
    s.offered.clear();
    QByteArray first = EncodeSession(s, "6.4.2").chopped(4);
    first[7] = 1;
    ASSERT_TRUE(DecodeSession(first, "6.4.2"));
    EXPECT_EQ(DecodeSession(first, "6.4.2")->tabs.size(), 2);
    // Crash after crash with many tabs: the list is cut, the file still reads.
    s.offered = QList<SessionTab>(6000, s.tabs[1]);
    ASSERT_TRUE(DecodeSession(EncodeSession(s, "6.4.2"), "6.4.2"));
    EXPECT_EQ(DecodeSession(EncodeSession(s, "6.4.2"), "6.4.2")->offered.size(), 5000);
}
