#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "gestures/gesture.h"
#include "support/usefolder.h"

using namespace gesture;

TEST(GestureTest, SamplingTurnsMovesIntoOneCharacterPerDirection) {
    Recogniser r;
    r.start({100, 100});
    EXPECT_EQ(r.sample({103, 100}), None);   // 9 is not more than 25
    EXPECT_EQ(r.sample({106, 100}), Right);  // the small moves add up
    EXPECT_EQ(r.text(), "右");
    // The exact diagonals, each from a fresh origin.
    const QList<QPair<QPoint, int>> diagonals{
        {{4, -4}, Right}, {{-4, -4}, Up}, {{-4, 4}, Left}, {{4, 4}, Right}};
    for (const auto &[d, expected] : diagonals) {
        r.start({0, 0});
        EXPECT_EQ(r.sample(d), expected) << d.x() << "," << d.y();
    }
    // A stroke keeps one character while it keeps its direction.
    r.start({0, 0});
    for (const QPoint p : {QPoint(10, 0), QPoint(20, 0), QPoint(30, 0), QPoint(30, 10)})
        r.sample(p);
    EXPECT_EQ(r.text(), "右下");
    r.start({0, 0});
    for (const QPoint p : {QPoint(10, 0), QPoint(10, 10), QPoint(20, 10)}) r.sample(p);
    EXPECT_EQ(r.text(), "右下右");
    EXPECT_EQ(r.lastDirection(), Right);
    r.start({5, 5});  // a click without a move
    EXPECT_EQ(r.text(), "");
    EXPECT_EQ(r.lastDirection(), None);
    EXPECT_EQ(DirectionName(7), "无");
}

TEST(GestureTest, FixedCommandsAndLoops) {
    EXPECT_EQ(FixedCommand("左"), Fixed::Back);
    EXPECT_EQ(FixedCommand("右"), Fixed::Forward);
    EXPECT_EQ(FixedCommand("下左"), Fixed::CloseTab);
    EXPECT_EQ(FixedCommand("下右"), Fixed::NewTab);
    EXPECT_EQ(FixedCommand("下"), Fixed::Home);
    EXPECT_EQ(FixedCommand("上"), Fixed::Search);
    EXPECT_EQ(FixedCommand("右下"), Fixed::None);
    EXPECT_EQ(FixedCommand(""), Fixed::None);
    EXPECT_EQ(LoopCount("右下"), 0);
    EXPECT_EQ(LoopCount("下右上左"), 1);
    EXPECT_EQ(LoopCount("下右上左下右"), 2);  // also holds 上左下右
    EXPECT_EQ(LoopCount("左下左上右"), 1);
}

TEST(GestureTest, TheUsersOwnEntriesRunInOrder) {
    QTemporaryDir dir;
    UseFolder use(dir.path());
    auto configure = [&](const QByteArray &mouse) {
        QFile f(dir.filePath("config.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\xEF\xBB\xBF[Setting]\r\nMouse=1\r\n[Mouse]\r\n" + mouse);  // utf-8 marked
    };
    configure(
        "Custom=5\r\nc1=上下\r\nm1=/bin/a\r\nc2=上下\r\nm2=http://x/\r\nm3=/bin/gap\r\n"
        "c4=\r\nm4=/bin/plain\r\n");
    EXPECT_EQ(UserCommands("上下"), (QStringList{"/bin/a", "http://x/"}));
    // A plain click runs the entry written with an empty gesture, never one whose gesture
    // is missing (a gap, or a "Custom" larger than the entries written).
    EXPECT_EQ(UserCommands(""), QStringList{"/bin/plain"});
    EXPECT_EQ(UserCommands("左"), QStringList());
    configure("Custom=2.6 entries\r\nc3=左\r\nm3=/bin/third\r\n");  // rounded up to 3
    EXPECT_EQ(UserCommands("左"), QStringList{"/bin/third"});
    for (const QByteArray custom : {"", "Custom=many\r\n", "Custom=-4\r\n"}) {
        configure(custom + "c1=左\r\nm1=/bin/a\r\n");
        EXPECT_EQ(UserCommands("左"), QStringList()) << custom.constData();
    }
    configure("Custom=99999999\r\n");  // no entries behind a huge count, and no hang
    EXPECT_EQ(UserCommands("左").size(), 0);
}
