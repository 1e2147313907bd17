// The program as a user starts it: real processes, the real instance channel, the real
// web engine, pages listed over the engine's debugging port.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>
#include <QTest>
#include <csignal>

#include "shell/config.h"
#include "support/httpserver.h"
#include "support/testfolder.h"
#include "support/wait.h"

namespace {

quint16 freePort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

class Session {
  public:
    Session() : folder(true), debugPort(freePort()) {}
    QProcessEnvironment env() const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("XDG_RUNTIME_DIR", runtime.path());
        e.insert("HOME", runtime.path());
        e.insert("QTWEBENGINE_REMOTE_DEBUGGING", QString("127.0.0.1:%1").arg(debugPort));
        return e;
    }
    std::unique_ptr<QProcess> start(const QStringList &args) const {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env());
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(folder.binary(), args);
        p->waitForStarted();
        return p;
    }
    // The open pages: url -> title.
    QList<QPair<QString, QString>> pages() const {
        QNetworkAccessManager nam;
        QNetworkReply *reply =
            nam.get(QNetworkRequest(QUrl(QString("http://127.0.0.1:%1/json/list").arg(debugPort))));
        QElapsedTimer t;
        t.start();
        while (!reply->isFinished() && t.elapsed() < 3000) QTest::qWait(20);
        QList<QPair<QString, QString>> out;
        for (const auto &v : QJsonDocument::fromJson(reply->readAll()).array()) {
            const QJsonObject o = v.toObject();
            if (o["type"].toString() == "page")
                out << qMakePair(o["url"].toString(), o["title"].toString());
        }
        delete reply;
        return out;
    }
    bool hasPage(const QString &url, const QString &title = {}) const {
        for (const auto &p : pages())
            if (p.first == url && (title.isEmpty() || p.second == title)) return true;
        return false;
    }
    TestFolder folder;
    QTemporaryDir runtime;
    quint16 debugPort;
};

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

}  // namespace

TEST(ProcessE2E, LaterStartsHandTheirAddressesToTheRunningOne) {
    TestHttpServer server;
    server.page("/a", "页面A");
    server.page("/b", "页面B");
    Session s;
    auto first = s.start({server.url("/a")});
    ASSERT_TRUE(waitFor([&] { return s.hasPage(server.url("/a"), "页面A"); }, 40000));
    EXPECT_EQ(s.pages().size(), 1);

    auto second = s.start({server.url("/b")});
    ASSERT_TRUE(second->waitForFinished(15000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    ASSERT_TRUE(waitFor([&] { return s.hasPage(server.url("/b"), "页面B"); }, 30000));

    auto third = s.start({});
    ASSERT_TRUE(third->waitForFinished(15000));
    EXPECT_EQ(third->exitCode(), 0);
    // The home page from the program folder, in a third tab.
    ASSERT_TRUE(waitFor([&] { return (s.pages().size()) == (3); }, 30000));
    bool home = false;
    for (const auto &p : s.pages()) home |= p.first.endsWith("/home.html");
    EXPECT_TRUE(home);
    EXPECT_EQ(first->state(), QProcess::Running);
    stop(*first);
}

TEST(ProcessE2E, AKilledInstanceDoesNotStopTheNextStart) {
    TestHttpServer server;
    server.page("/x", "X");
    Session s;
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

TEST(ProcessE2E, WithoutConfigTheMessageIsShownAndNothingElse) {
    Session s;
    QFile::remove(s.folder.file("config.ini"));
    auto p = s.start({});
    QByteArray ids;
    ASSERT_TRUE(waitFor(
        [&] {
            return runXdotool({"search", "--name", "抱歉"}, &ids) == 0 && !ids.isEmpty();
        },
        20000));
    QByteArray frames;
    runXdotool({"search", "--name", "Orvex Lumetta"}, &frames);
    EXPECT_TRUE(frames.trimmed().isEmpty());
    runXdotool({"windowactivate", "--sync", ids.trimmed().split('\n').first()});
    runXdotool({"key", "--window", ids.trimmed().split('\n').first(), "Return"});
    ASSERT_TRUE(p->waitForFinished(15000));
    EXPECT_EQ(p->exitCode(), 1);
    EXPECT_FALSE(QFile::exists(s.folder.file("config.ini")));
}

TEST(ProcessE2E, InsideRestrictedHoursItEndsWithItsMessageAndChangesNothing) {
    Session s;
    const QString config = s.folder.file("config.ini");
    for (auto [key, value] : {std::pair{"Parents", "1"},
                              {"Week1", "0"},
                              {"Week2", "6"},
                              {"Time1", "0"},
                              {"Time2", "23"}})
        WriteIni("Setting", key, value, config);
    const QByteArray configBefore = ReadBytes(config);
    const QByteArray formBefore = ReadBytes(s.folder.file("数据/Form.ini"));
    auto p = s.start({"http://127.0.0.1:9/"});
    QByteArray ids;
    ASSERT_TRUE(waitFor(
        [&] {
            return runXdotool({"search", "--name", "家长控制"}, &ids) == 0 && !ids.isEmpty();
        },
        30000));
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
}
