#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <list>

#include "platform/channelprotocol.h"
#include "platform/instancechannel.h"

using channel::Reader;

TEST(ChannelProtocolTest, MessagesSurviveAnySplit) {
    const QByteArray two = channel::frame("DDEOpenhttp://中文/") + channel::frame("OpenNew");
    for (int step = 1; step <= two.size(); ++step) {
        Reader r;
        QStringList got;
        for (int i = 0; i < two.size(); i += step) got << r.feed(two.mid(i, step));
        EXPECT_EQ(got, (QStringList{"DDEOpenhttp://中文/", "OpenNew"})) << step;
        EXPECT_FALSE(r.broken());
    }
}

TEST(ChannelProtocolTest, OversizedOrPartialMessagesAreNotDelivered) {
    Reader big;
    QByteArray header(4, '\0');
    header[0] = 0x01;  // 16 MiB announced
    EXPECT_TRUE(big.feed(header + QByteArray(100, 'x')).isEmpty());
    EXPECT_TRUE(big.broken());
    EXPECT_TRUE(big.feed(channel::frame("OpenNew")).isEmpty());  // stays broken

    Reader partial;
    EXPECT_TRUE(partial.feed(channel::frame("OpenNew").chopped(1)).isEmpty());
    EXPECT_FALSE(partial.broken());
    EXPECT_EQ(channel::frame(QString(channel::kMaxMessage, 'a')).size(),
              4 + int(channel::kMaxMessage));
    Reader limit;
    EXPECT_EQ(limit.feed(channel::frame(QString(channel::kMaxMessage, 'a'))).size(), 1);
    // The longest address the engine takes, in characters of three UTF-8 bytes each.
    const QString longest = "DDEOpen" + QString(channel::kMaxAddress, QChar(0x4E2D));
    EXPECT_EQ(limit.feed(channel::frame(longest)), QStringList{longest});
}

TEST(ChannelFolderTest, OnlyAFolderOfOurOwnThatNobodyElseWritesIn) {
    QTemporaryDir dir;
    const QString fresh = dir.filePath("fresh");
    EXPECT_EQ(PrivateFolderProblem(fresh), "");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fresh).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    const QString readable = dir.filePath("readable");
    ASSERT_TRUE(QDir().mkdir(readable));
    ::chmod(QFile::encodeName(readable).constData(), 0755);
    EXPECT_EQ(PrivateFolderProblem(readable), "");  // ours, and closed now
    ASSERT_EQ(::stat(QFile::encodeName(readable).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    const QString open = dir.filePath("open");
    ASSERT_TRUE(QDir().mkdir(open));
    ::chmod(QFile::encodeName(open).constData(), 0777);
    EXPECT_TRUE(PrivateFolderProblem(open).contains("open for others"));
    const QString link = dir.filePath("link");
    ASSERT_TRUE(QFile::link(fresh, link));
    EXPECT_FALSE(PrivateFolderProblem(link).isEmpty());
    const QString file = dir.filePath("file");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_FALSE(PrivateFolderProblem(file).isEmpty());
}

// Starts from one program folder on one display share a browser, however either is written;
// another folder, another display or none is a browser of its own.
TEST(ChannelNameTest, OneBrowserPerProgramFolderAndDisplay) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("a");
    QFile::link(dir.filePath("a"), dir.filePath("link"));
    const char *vars[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    std::list<InstanceChannel> running;  // the first, and each start of its own
    // Whose browser, the folder, then the variables (the missing ones empty).
    for (const QString start : {"first a :0", "first link/ :0.0", "own b :0", "own a :1",
                                "own a :0 wayland-0", "first a :0 wayland-0 xcb", "own a"}) {
        const QStringList w = start.split(' ');
        for (int i = 0; i < 3; ++i) qputenv(vars[i], w.value(i + 2).toUtf8());
        running.emplace_back(
            dir.path(),
            InstanceChannel::nameFor(dir.filePath(w[1]), InstanceChannel::currentDisplay()));
        EXPECT_EQ(running.back().claim(), running.size() == 1 || w[0] == "own")
            << qPrintable(start);
    }
    EXPECT_LT(InstanceChannel::nameFor(QString(4000, u'长'), "").toUtf8().size(), 50);  // < 108
}
