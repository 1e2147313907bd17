#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

#include "platform/channelprotocol.h"
#include "platform/instancechannel.h"
#include "support/wait.h"

namespace {

// The sender blocks, as a second process would; it runs on its own thread while the
// owner's event loop answers here.
bool sendWhileServing(InstanceChannel &sender, const QString &command) {
    std::atomic<bool> done = false, ok = false;
    std::thread t([&] {
        ok = sender.send(command, 3000);
        done = true;
    });
    for (int i = 0; i < 250 && !done; ++i) QTest::qWait(20);
    t.join();
    return ok;
}

// The running instance: owns the channel in a fresh folder and records what arrives.
struct Owner {
    QTemporaryDir dir;
    InstanceChannel channel{dir.path()};
    QStringList got;
    bool serving = channel.claim() && channel.listen();
    Owner() {
        QObject::connect(&channel, &InstanceChannel::commandReceived,
                         [this](const QString &c) { got << c; });
    }
};

}  // namespace

TEST(InstanceChannelTest, OneOwnerPerFolderAndCommandsArriveUnchanged) {
    Owner o;
    ASSERT_TRUE(o.serving);
    InstanceChannel &owner = o.channel;
    QStringList &got = o.got;
    EXPECT_EQ(QFile::permissions(owner.socketPath()) &
                  (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
              QFile::Permissions());

    InstanceChannel second(o.dir.path());
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(sendWhileServing(second, "DDEOpenhttp://例子.cn/路径 空格"));
    EXPECT_TRUE(sendWhileServing(second, "OpenNew"));
    ASSERT_TRUE(waitFor([&] { return (got.size()) == (2); }, 5000));
    EXPECT_EQ(got, (QStringList{"DDEOpenhttp://例子.cn/路径 空格", "OpenNew"}));
}

TEST(InstanceChannelTest, GarbageAndSilentClientsDoNotBlockTheOwner) {
    Owner o;
    ASSERT_TRUE(o.serving);
    InstanceChannel &owner = o.channel;
    QStringList &got = o.got;

    QLocalSocket silent, noisy, huge, partial;
    for (QLocalSocket *s : {&silent, &noisy, &huge, &partial})
        s->connectToServer(owner.socketPath());
    QByteArray junk;
    std::srand(5);
    for (int i = 0; i < 4096; ++i) junk.append(char(std::rand()));
    noisy.write(junk);
    huge.write(QByteArray(1024 * 1024, 'A'));
    partial.write(channel::frame("OpenNew").chopped(2));

    // Two messages on one connection, while the others hang about.
    QLocalSocket good;
    good.connectToServer(owner.socketPath());
    good.write(channel::frame("DDEOpenhttp://a/") + channel::frame("OpenNew"));
    ASSERT_TRUE(waitFor([&] { return (got.size()) == (2); }, 5000));
    EXPECT_EQ(got, (QStringList{"DDEOpenhttp://a/", "OpenNew"}));
    // Clients that say nothing useful are dropped after their time-out.
    ASSERT_TRUE(
        waitFor([&] { return (silent.state()) == (QLocalSocket::UnconnectedState); }, 6000));
    ASSERT_TRUE(
        waitFor([&] { return (partial.state()) == (QLocalSocket::UnconnectedState); }, 6000));
    EXPECT_EQ(got.size(), 2);
}

TEST(InstanceChannelTest, ALockLeftByADeadOwnerIsTakenOver) {
    QTemporaryDir dir;
    InstanceChannel probe(dir.path());
    const QString lock = probe.socketPath() + ".lock";
    QFile f(lock);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("999999\nolumetta\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    f.close();
    QFile stale(probe.socketPath());
    stale.open(QIODevice::WriteOnly);  // a socket file nobody listens on
    stale.close();

    InstanceChannel next(dir.path());
    ASSERT_TRUE(next.claim());
    ASSERT_TRUE(next.listen());
    InstanceChannel other(dir.path());
    EXPECT_FALSE(other.claim());
    EXPECT_TRUE(sendWhileServing(other, "OpenNew"));
}

TEST(InstanceChannelTest, NobodyListeningMeansSilentFailure) {
    QTemporaryDir dir;
    InstanceChannel lonely(dir.path());
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(lonely.send("OpenNew", 400));
    EXPECT_LT(t.elapsed(), 3000);
}
