#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "core/downloadnames.h"
#include "downloads/progress.h"
#include "downloads/resumerules.h"
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
    // Beyond 9.5 GiB the figure stays a plain number.
    EXPECT_EQ(ProgressText(10LL * 1024 * 1024 * 1024), "已下载: 10485760 KB");
    EXPECT_EQ(ProgressText(5LL << 40), "已下载: 5368709120 KB");
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

TEST(DownloadProgressTest, ReadableSizesSpeedAndTimeLeft) {
    EXPECT_EQ(SizeText(0), "0 B");
    EXPECT_EQ(SizeText(1023), "1023 B");
    EXPECT_EQ(SizeText(1024), "1.0 KB");
    EXPECT_EQ(SizeText(1023 * 1024 + 1000), "1.0 MB");  // never "1000.0 KB"
    EXPECT_EQ(SizeText(qint64(12.4 * 1048576)), "12.4 MB");
    EXPECT_EQ(SizeText(230LL << 20), "230 MB");
    EXPECT_EQ(SizeText(qint64(9.5 * 1073741824.0)), "9.5 GB");
    EXPECT_EQ(TimeLeftText(15), "剩余 15 秒");
    EXPECT_EQ(TimeLeftText(185), "剩余 3 分 5 秒");
    EXPECT_EQ(TimeLeftText(7500), "剩余 2 小时 5 分");
    EXPECT_EQ(ProgressDetail(qint64(12.4 * 1048576), qint64(47.1 * 1048576), 2.3 * 1048576),
              "12.4 MB / 47.1 MB，2.3 MB/s，剩余 16 秒");
    EXPECT_EQ(ProgressDetail(5 << 20, 10 << 20, 1 << 20, false), "5.0 MB / 10.0 MB，剩余 5 秒");
    EXPECT_EQ(ProgressDetail(5 << 20, std::nullopt, 1 << 20), "5.0 MB，1.0 MB/s");
    EXPECT_EQ(ProgressDetail(5 << 20, 10 << 20, std::nullopt), "5.0 MB / 10.0 MB");
    EXPECT_EQ(ProgressDetail(5 << 20, 10 << 20, 0.0), "5.0 MB / 10.0 MB，0 B/s");

    RateMeter m;
    m.sample(0, 0);
    m.sample(500, 1000);
    EXPECT_FALSE(m.bytesPerSecond().has_value());  // half a second says little
    m.sample(1000, 2000);
    EXPECT_DOUBLE_EQ(*m.bytesPerSecond(), 2000.0);
    for (int s = 2; s <= 6; ++s) m.sample(s * 1000, 2000 + (s - 1) * 100);
    EXPECT_DOUBLE_EQ(*m.bytesPerSecond(), 100.0);  // the last seconds, not the average
    EXPECT_EQ(m.lastGrowth(), 6000);
    m.sample(7000, 2500);
    m.sample(8000, 2500);
    EXPECT_EQ(m.lastGrowth(), 6000);
}

TEST(DownloadNamesTest, TheServersNameAndNothingThatLeavesTheFolder) {
    EXPECT_EQ(ContentDispositionName("attachment; filename=\"report 7.pdf\""), "report 7.pdf");
    EXPECT_EQ(ContentDispositionName("attachment; filename=plain.txt"), "plain.txt");
    EXPECT_EQ(ContentDispositionName("attachment; filename=\"a;b \\\"q\\\".txt\"; size=3"),
              "a;b \"q\".txt");
    // The extended form wins wherever it stands.
    EXPECT_EQ(ContentDispositionName("attachment; filename*=UTF-8''%E6%9C%88%E6%8A%A5.xlsx; "
                                     "filename=\"fallback.xlsx\""),
              "月报.xlsx");
    EXPECT_EQ(ContentDispositionName("attachment; filename=\"fallback.xlsx\"; "
                                     "FILENAME*=utf-8'zh'%E6%9C%88.xlsx"),
              "月.xlsx");
    EXPECT_EQ(ContentDispositionName("attachment; filename*=iso-8859-1''caf%E9.txt"), "café.txt");
    EXPECT_EQ(ContentDispositionName("attachment; filename=\"%E6%9C%88.txt\""), "月.txt");
    EXPECT_EQ(ContentDispositionName("attachment; filename=\"\xe6\x9c\x88.txt\""), "月.txt");
    EXPECT_EQ(ContentDispositionName("attachment"), "");
    EXPECT_EQ(ContentDispositionName("attachment; filename*=koi8-r''x.txt"), "");

    EXPECT_EQ(SafeFileName("../../etc/passwd"), "passwd");
    EXPECT_EQ(SafeFileName("C:\\Windows\\evil.exe"), "evil.exe");
    EXPECT_EQ(SafeFileName(".."), "");
    EXPECT_EQ(SafeFileName("."), "");
    EXPECT_EQ(SafeFileName(" .bashrc "), "bashrc");
    EXPECT_EQ(SafeFileName(QString("a\nb\tc\x7f.txt")), "abc.txt");
    const QString longName = QString(300, QChar(0x6708)) + ".tar";
    const QString cut = SafeFileName(longName);
    // The partial file's name fits too, as the engine writes it: "<name>.<n>.part.download".
    EXPECT_LE((cut + ".99.part.download").toUtf8().size(), 255);
    EXPECT_GE(cut.toUtf8().size(), 236);
    EXPECT_TRUE(cut.endsWith(".tar"));
    EXPECT_EQ(FittedPath("/d/" + longName), "/d/" + cut);  // a name typed into the dialog
    EXPECT_EQ(FittedPath("/d/short.txt"), "/d/short.txt");
    const QString emoji = SafeFileName(QString::fromUtf8("😀").repeated(70) + ".txt");
    EXPECT_LE(emoji.toUtf8().size(), 255);
    EXPECT_FALSE(emoji.toUtf8().contains("\xef\xbf\xbd"));  // no cut surrogate pair

    EXPECT_EQ(ProposedFileName("data.bin", "http://h/get.php?id=7"), "data.bin");
    EXPECT_EQ(ProposedFileName("", "http://h/get.php?id=7"), "id=7");
    EXPECT_EQ(ProposedFileName("/", "http://h/"), "未命名文件");
    // Where "(1)" goes: archives' two extensions stay together.
    using Split = std::pair<QString, QString>;
    EXPECT_EQ(SplitExtension("x.tar.gz"), (Split{"x", ".tar.gz"}));
    EXPECT_EQ(SplitExtension("X.TAR.ZST"), (Split{"X", ".TAR.ZST"}));
    EXPECT_EQ(SplitExtension("a.b.pdf"), (Split{"a.b", ".pdf"}));
    EXPECT_EQ(SplitExtension(".bashrc"), (Split{".bashrc", ""}));
    EXPECT_EQ(SplitExtension(".tar.gz"), (Split{".tar", ".gz"}));

    QTemporaryDir dir;
    const QString part = dir.filePath("f.part"), target = dir.filePath("f");
    for (const auto &[path, bytes] : {std::pair{part, QByteArray("new")}, {target, "old!"}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    EXPECT_TRUE(ReplaceFile(part, target));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"f"});
    EXPECT_FALSE(ReplaceFile(part, target));
}

// A server's answer to a resume is the rest only where it starts where asked, agrees with the
// size known and runs to the end; otherwise the whole is asked for once, then it fails.
namespace {
resume::Answer answer(int status, const QByteArray &range = {}, std::optional<qint64> length = {},
                      const QByteArray &validator = {}) {
    return {status, range, length, validator};
}
}  // namespace

// The rest only where it starts where asked, agrees with the size known and runs to the end;
// otherwise the whole is asked for once, then the task fails with why.
TEST(ResumeRulesTest, WhatAnAnswerToAResumeIsTakenFor) {
    using V = resume::Verdict;
    const resume::Request at{500, "v1", 800, false, false}, bare{500, {}, 800, false, false},
        twice{500, "v1", 800, false, true}, page{500, {}, 800, true, false},
        end{800, "v1", 800, false, false}, whole{0, {}, 800, false, false};
    const QString range = "服务器返回的范围与请求不符", total = "服务器报告的文件大小不符",
                  changed = "服务器上的文件已更改", deaf = "服务器不支持断点续传",
                  length = "服务器返回的长度与范围不符", again = "，已重新开始";
    const std::optional<qint64> no;
    const struct {
        resume::Request q;
        resume::Answer a;
        V verdict;
        QString said;
        std::optional<qint64> size;
    } cases[] = {
        {at, answer(206, "bytes 500-799/800", 300), V::Append, "", 800},
        {at, answer(206, "bytes 500-799/*"), V::Append, "", 800},
        {at, answer(206, "bytes 510-799/800", 290), V::AskWhole, range + again, no},
        {at, answer(206, "bytes 500-755/756"), V::AskWhole, total + again, no},
        {at, answer(206, "bytes 500-843/844"), V::AskWhole, total + again, no},
        {at, answer(206, "bytes 500-599/800"), V::AskWhole, range + again, no},
        {at, answer(206, "bytes 500-799/800", 10), V::AskWhole, length + again, no},
        {twice, answer(206, "bytes 510-799/800"), V::Fail, range, no},
        {page, answer(206, "bytes +500-799/800"), V::Fail, range, no},
        {at, answer(200, {}, 900, "v2"), V::Write, changed + again, 900},
        {at, answer(200, {}, 800, "v1"), V::Write, deaf + again, 800},
        {bare, answer(200, {}, 800), V::Write, deaf + again, 800},
        {page, answer(200, {}, 800), V::Fail, deaf, no},
        {at, answer(412), V::AskWhole, changed + again, no},
        {at, answer(416, "bytes */700"), V::AskWhole, changed + again, no},
        {end, answer(416, "bytes */800"), V::Complete, "", 800},
        {whole, answer(206, "bytes 0-799/800"), V::Write, "", 800},
    };
    for (const auto &c : cases) {
        const resume::Decision d = resume::Judge(c.q, c.a);
        EXPECT_EQ(d.verdict, c.verdict) << c.a.contentRange.constData() << c.a.status;
        EXPECT_EQ(d.verdict == V::Fail ? d.reason : d.note.trimmed(), c.said);
        EXPECT_EQ(d.total, c.size) << c.a.contentRange.constData();
    }
    // On from the part's end only when it holds what was written, and never through a link.
    EXPECT_EQ(resume::StartAt(4096, 4096, 8192), 4096);
    EXPECT_EQ(resume::StartAt(4096, 4000, 8192), 0);
    QTemporaryDir dir;
    QFile::link(dir.filePath("elsewhere"), dir.filePath("f.part"));
    QFile part;
    EXPECT_FALSE(resume::OpenPartial(part, dir.filePath("f.part"), resume::FileMode::Truncate));
    EXPECT_FALSE(QFile::exists(dir.filePath("elsewhere")));
}
