// The update check over real HTTP, through a proxy.
#include <gtest/gtest.h>

#include <QFile>

#include "core/programfolder.h"
#include "services/updatecheck.h"
#include "support/httpserver.h"
#include "support/scriptedplatform.h"
#include "support/testfolder.h"

namespace {

// The update server, reached through http_proxy as a user's network would.
class UpdateE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.useAsAppDir();
        qputenv("http_proxy", QString("http://127.0.0.1:%1").arg(server.port()).toUtf8());
        qputenv("no_proxy", "");
    }
    void TearDown() override { qunsetenv("http_proxy"); }
    void publish(const QByteArray &page) {
        TestHttpServer::Response r;
        r.contentType = "text/plain";
        r.body = page;
        server.route(kVersionPath, r);
    }
    int check() {
        return CheckForUpdate(platform, nullptr, [this](const QString &path, const QString &url) {
            downloads << path + "|" + url;
        });
    }
    TestFolder folder;
    TestHttpServer server;
    ScriptedPlatform platform;
    QStringList downloads;
};

}  // namespace

TEST_F(UpdateE2E, TheVersionPageDecides) {
    publish("1,1,0,http://h/p.zip,2026-12-01,无\r\n");
    EXPECT_EQ(check(), 0);
    EXPECT_TRUE(platform.scripted.shown.empty());
    EXPECT_FALSE(QFile::exists(folder.file("ver")));
    EXPECT_TRUE(server.requestHeads.last().contains(kUpdateHost));

    publish("1,1,1,http://h/new.zip,2026-12-01,修复\r\n");
    platform.scripted.answers = {Dialogs::AnswerYes};
    EXPECT_EQ(check(), 1);
    ASSERT_EQ(platform.scripted.shown.size(), 1u);
    EXPECT_EQ(platform.scripted.shown[0].title, "新版本");
    EXPECT_TRUE(platform.scripted.shown[0].text.contains("程序版本: 1.1.0\r\n新版本: 1.1.1"));
    EXPECT_EQ(downloads, QStringList{AppDir() + "Orvex Lumetta.zip|http://h/new.zip"});

    publish("1,0,5,u,d,n");  // lower, whatever its revision
    EXPECT_EQ(check(), 0);
    publish("1,1");
    EXPECT_EQ(check(), -1);
    EXPECT_TRUE(QFile::exists(folder.file("ver")));  // left for a look after an error
    publish("1,2,0,u");
    EXPECT_EQ(check(), -1);
    EXPECT_EQ(platform.scripted.shown.size(), 1u);  // no question for a broken page
}

TEST_F(UpdateE2E, AnUnreachableServerIsAnError) {
    qputenv("http_proxy", "http://127.0.0.1:9");
    QFile::remove(folder.file("ver"));
    EXPECT_EQ(check(), -1);
    publish("2,0,0,u,d,n");
    qputenv("http_proxy", "http://127.0.0.1:9");
    EXPECT_EQ(check(), -1);  // a stale page is never taken for a fresh one
}
