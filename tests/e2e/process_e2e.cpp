// The program as a user starts it: real processes, the real instance channel, the real
// web engine, pages listed over the engine's debugging port.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include "core/store.h"
#include "support/browsersession.h"
#include "support/httpserver.h"
#include "support/testfolder.h"
#include "support/wait.h"

namespace {

void stop(QProcess &p) {
    if (p.state() == QProcess::NotRunning) return;
    p.kill();
    p.waitForFinished(5000);
}

int runXdotool(const QStringList &args, QByteArray *out = nullptr) {
    QProcess x;
    x.start("xdotool", args);
    x.waitForFinished(5000);
    if (out) *out = x.readAllStandardOutput();
    return x.exitCode();
}

bool visible(const QString &title) {
    return runXdotool({"search", "--onlyvisible", "--name", title}) == 0;
}

// Return into the visible window of that title, once it shows: its default button.
void pressReturnIn(const QString &title) {
    QByteArray ids;
    ASSERT_TRUE(waitFor(
        [&] {
            return runXdotool({"search", "--onlyvisible", "--name", title}, &ids) == 0;
        },
        20000));
    QTest::qWait(500);
    runXdotool({"windowfocus", ids.trimmed().split('\n').first()});
    QTest::qWait(300);
    runXdotool({"key", "Return"});
}

}  // namespace

TEST(ProcessE2E, LaterStartsHandTheirAddressesToTheRunningOne) {
    TestHttpServer server;
    server.page("/a", "页面A");
    server.page("/b", "页面B");
    BrowserSession s;
    auto first = s.start({server.url("/a")});
    ASSERT_TRUE(waitFor([&] { return s.hasPage(server.url("/a"), "页面A"); }, 40000));
    EXPECT_EQ(s.pages().size(), 1);

    // The later start maps what the hand-off needs, never the web engine (the loader's trace).
    auto second = s.start({server.url("/b")},
                          {"LD_DEBUG=files", "LD_DEBUG_OUTPUT=" + s.runtime.filePath("ld")});
    const QString trace = s.runtime.filePath(QString("ld.%1").arg(second->processId()));
    ASSERT_TRUE(second->waitForFinished(15000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    ASSERT_TRUE(waitFor([&] { return s.hasPage(server.url("/b"), "页面B"); }, 30000));
    const QByteArray loaded = ReadBytes(trace);
    EXPECT_TRUE(loaded.contains("libQt6Core.so"));
    EXPECT_FALSE(loaded.contains("libQt6WebEngineCore.so") || loaded.contains("libQt6Widgets.so"));

    auto third = s.start({});
    ASSERT_TRUE(third->waitForFinished(15000));
    EXPECT_EQ(third->exitCode(), 0);
    // The home page from the program folder, in a third tab.
    ASSERT_TRUE(waitFor([&] { return (s.pages().size()) == (3); }, 30000));
    bool home = false;
    for (const auto &p : s.pages()) home |= p.first.contains("/home.html?search=");
    EXPECT_TRUE(home);
    // A copy of the program in another folder, its lock beside ours, is a browser of its own.
    BrowserSession copy;
    auto own = copy.start({server.url("/b")}, {"XDG_RUNTIME_DIR=" + s.runtime.path()});
    EXPECT_TRUE(waitFor([&] { return copy.hasPage(server.url("/b"), "页面B"); }, 40000));
    stop(*own);
    EXPECT_EQ(first->state(), QProcess::Running);
    stop(*first);
}

TEST(ProcessE2E, AKilledInstanceDoesNotStopTheNextStart) {
    TestHttpServer server;
    server.page("/x", "X");
    BrowserSession s;
    auto first = s.start({server.url("/x")});
    ASSERT_TRUE(waitFor([&] { return s.hasPage(server.url("/x")); }, 40000));
    ::kill(pid_t(first->processId()), SIGKILL);
    first->waitForFinished(5000);

    server.page("/y", "Y");
    auto next = s.start({server.url("/y")});
    ASSERT_TRUE(waitFor([&] { return s.hasPage(server.url("/y"), "Y"); }, 40000));
    EXPECT_EQ(next->state(), QProcess::Running);
    stop(*next);
}

// Without a config.ini, or with one that holds no settings (noise, a folder), the message is
// shown and nothing else, and a damaged file stays as it was until the user chooses
// "恢复默认设置": then it is kept aside and the browser starts with the shipped settings.
TEST(ProcessE2E, WithoutConfigTheMessageIsShownAndNothingElse) {
    BrowserSession s;
    const QString config = s.folder.file("config.ini");
    const QByteArray noise("\x8f\x01\xff\xfe random \x00 bytes", 20);
    for (int round = 0; round < 3; ++round) {
        QFile::remove(config);
        if (round == 1) WriteBytes(config, noise);
        if (round == 2) QDir().mkdir(config);
        auto p = s.start({});
        QByteArray ids;
        ASSERT_TRUE(waitFor(
            [&] {
                return runXdotool({"search", "--name", "抱歉"}, &ids) == 0 && !ids.isEmpty();
            },
            20000))
            << round;
        QByteArray frames;
        runXdotool({"search", "--onlyvisible", "--name", "Orvex Lumetta"}, &frames);
        EXPECT_TRUE(frames.trimmed().isEmpty());
        if (round == 0) {  // the answer ends it
            runXdotool({"windowactivate", "--sync", ids.trimmed().split('\n').first()});
            runXdotool({"key", "--window", ids.trimmed().split('\n').first(), "Return"});
            ASSERT_TRUE(p->waitForFinished(15000));
            EXPECT_EQ(p->exitCode(), 1);
        }
        if (round == 1) {
            pressReturnIn("抱歉");  // 恢复默认设置
            EXPECT_TRUE(waitFor([&] { return visible("Orvex Lumetta"); }, 30000));
            EXPECT_EQ(ReadBytes(config + ".damaged"), noise);
            EXPECT_EQ(ReadBytes(config), ReadBytes(OLUMETTA_TEMPLATE_DIR "/config.ini"));
            stop(*p);
            continue;
        }
        stop(*p);
        const bool left = round == 0   ? !QFile::exists(config)
                          : round == 1 ? ReadBytes(config) == noise
                                       : QFileInfo(config).isDir();
        EXPECT_TRUE(left) << round;
        QDir(config).removeRecursively();
    }
}

// A chosen skin whose file is gone: said once, and the frame comes up in the shipped skin;
// the choice stays as it was.
TEST(ProcessE2E, AMissingSkinGivesWayToTheDefault) {
    BrowserSession s;
    const QString config = s.folder.file("config.ini");
    WriteIni("Theme", "Theme", "没有这个.ini", config);
    auto p = s.start({});
    pressReturnIn("抱歉");
    EXPECT_TRUE(waitFor([&] { return visible("Orvex Lumetta"); }, 30000));
    EXPECT_EQ(p->state(), QProcess::Running);
    EXPECT_EQ(ReadIni("Theme", "Theme", config), "没有这个.ini");
    stop(*p);
}

TEST(ProcessE2E, InsideRestrictedHoursItEndsWithItsMessageAndChangesNothing) {
    BrowserSession s;
    const QString config = s.folder.file("config.ini");
    for (auto [key, value] : {std::pair{"Parents", "1"},
                              {"Week1", "0"},
                              {"Week2", "6"},
                              {"Time1", "0"},
                              {"Time2", "23"}})
        WriteIni("Setting", key, value, config);
    const QByteArray configBefore = ReadBytes(config);
    const QByteArray formBefore = ReadBytes(s.folder.file("数据/Form.ini"));
    TestHttpServer server;
    server.page("/x", "X");
    auto p = s.start({server.url("/x")});
    QByteArray ids;
    ASSERT_TRUE(waitFor(
        [&] {
            return runXdotool({"search", "--name", "家长控制"}, &ids) == 0 && !ids.isEmpty();
        },
        30000));
    QTest::qWait(500);
    EXPECT_TRUE(server.requests.isEmpty());  // the page was never asked for
    // A later start while the message is up hands over and ends; nothing comes up.
    auto later = s.start({"http://127.0.0.1:9/later"});
    ASSERT_TRUE(later->waitForFinished(15000));
    EXPECT_EQ(later->exitCode(), 0);
    QTest::qWait(500);
    QByteArray frames;
    runXdotool({"search", "--onlyvisible", "--name", "Orvex Lumetta"}, &frames);
    EXPECT_TRUE(frames.trimmed().isEmpty());
    const QString box = ids.trimmed().split('\n').first();
    runXdotool({"windowactivate", "--sync", box});
    runXdotool({"key", "--window", box, "Return"});
    ASSERT_TRUE(p->waitForFinished(15000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ReadBytes(config), configBefore);
    EXPECT_EQ(ReadBytes(s.folder.file("数据/Form.ini")), formBefore);
    EXPECT_FALSE(QFileInfo::exists(s.folder.file("数据/profile")));  // nothing made
}

// Start-up reads the display switches; it writes none of them back, in whatever form.
TEST(ProcessE2E, StartUpLeavesTheSettingsItOnlyReads) {
    TestHttpServer server;
    server.page("/x", "X");
    BrowserSession s;
    const QString config = s.folder.file("config.ini");
    WriteIni("Setting", "StBar", "\" 0.0 \"", config);
    WriteIni("Setting", "PrBar", "0", config);
    const QByteArray before = ReadBytes(config);
    auto p = s.start({server.url("/x")});
    ASSERT_TRUE(waitFor([&] { return s.hasPage(server.url("/x"), "X"); }, 40000));
    QTest::qWait(300);
    EXPECT_EQ(ReadBytes(config), before);
    stop(*p);
}

// Addresses up to the engine's own limit are handed over whole.
TEST(ProcessE2E, ALongAddressIsHandedOverWhole) {
    TestHttpServer server;
    server.page("/a", "A");
    const QString path = "/long?q=" + QString(100 * 1024, 'x');
    server.page(path, "Long");
    BrowserSession s;
    auto first = s.start({server.url("/a")});
    ASSERT_TRUE(waitFor([&] { return s.hasPage(server.url("/a"), "A"); }, 40000));
    auto later = s.start({server.url(path)});
    ASSERT_TRUE(later->waitForFinished(15000));
    EXPECT_EQ(later->exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return server.requests.contains(path); }, 30000));
    stop(*first);
}

// Without a folder for its lock the program cannot tell whether it already runs: it says
// so on standard error and in a message, and ends with an error instead of ending quietly
// as if it had handed over.
TEST(ProcessE2E, NoLockFolderIsReportedAsAnError) {
    BrowserSession s;
    const QString blocker = s.runtime.filePath("file");
    WriteBytes(blocker, "not a folder");
    QProcess p;
    QProcessEnvironment env = s.env();
    env.remove("XDG_RUNTIME_DIR");
    env.insert("TMPDIR", blocker);  // where the lock's folder would go: a file
    env.insert("HOME", blocker);    // and the private one too
    p.setProcessEnvironment(env);
    p.start(s.folder.binary(), {"http://127.0.0.1:9/"});
    QByteArray ids;
    ASSERT_TRUE(waitFor(
        [&] {
            return runXdotool({"search", "--name", "^抱歉$"}, &ids) == 0 && !ids.isEmpty();
        },
        20000));
    runXdotool({"windowactivate", "--sync", ids.trimmed().split('\n').first()});
    runXdotool({"key", "--window", ids.trimmed().split('\n').first(), "Return"});
    ASSERT_TRUE(p.waitForFinished(15000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().contains("cannot tell whether the browser already runs"));
}

// Another user made the shared fallback folder first, open to all, with a lock planted in
// it: the browser keeps its lock and socket in a folder of its own, starts, and takes the
// addresses of its later starts; nothing of ours goes into the squatted folder.
TEST(ProcessE2E, AFolderSquattedByAnotherUserIsNotUsed) {
    if (::getuid() != 0) GTEST_SKIP() << "acting as another user needs root";
    QTemporaryDir shared;
    ASSERT_EQ(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);  // as /tmp is
    const QString squat = shared.path() + QString("/olumetta-%1").arg(::getuid());
    const QString plant = QString("mkdir -m 777 '%1' && echo 1 > '%1/Orvex Lumetta-%2.lock'")
                              .arg(squat)
                              .arg(::getuid());
    ASSERT_EQ(QProcess::execute("runuser", {"-u", "nobody", "--", "sh", "-c", plant}), 0);
    TestHttpServer server;
    server.page("/a", "A");
    server.page("/b", "B");
    BrowserSession s;
    QProcessEnvironment env = s.env();
    env.remove("XDG_RUNTIME_DIR");
    env.insert("TMPDIR", shared.path());
    auto start = [&](const QString &url) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->start(s.folder.binary(), {url});
        return p;
    };
    auto first = start(server.url("/a"));
    ASSERT_TRUE(waitFor([&] { return s.hasPage(server.url("/a"), "A"); }, 40000));
    auto later = start(server.url("/b"));
    ASSERT_TRUE(later->waitForFinished(15000));
    EXPECT_EQ(later->exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return s.hasPage(server.url("/b"), "B"); }, 30000));
    EXPECT_EQ(QDir(squat).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList{QString("Orvex Lumetta-%1.lock").arg(::getuid())});
    stop(*first);
}
