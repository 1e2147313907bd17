// Cut, then resumed from a server that answers falsely or changed the file: each task ends in
// the whole file, byte for byte, or fails saying why; never "下载完成" on the wrong bytes.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "downloads/frmdownload.h"
#include "downloads/ucdownload.h"
#include "support/httpserver.h"
#include "support/scriptedplatform.h"
#include "support/testfolder.h"
#include "support/wait.h"

TEST(ResumeE2E, AFalseOrChangedAnswerEndsInTheWholeFileOrSaysWhy) {
    ScriptedPlatform platform;
    frmDownload manager{platform};
    QTemporaryDir dir;
    TestHttpServer server;
    const qint64 size = 1 << 20;
    TestHttpServer::Response first;  // cut at 30 %: the task goes on by itself 2 s later
    first.generated = size;
    first.ranges = true;
    first.etag = "\"v1\"";
    first.cutAfter = size * 3 / 10;
    using R = TestHttpServer::Response;
    const QString whole = "，已重新开始   下载已完成", total = "服务器报告的文件大小不符";
    const QList<std::tuple<QString, std::function<void(R &)>, qint64, QString>> cases{
        {"start", [](R &r) { r.rangeSkew = 1000; }, size, "服务器返回的范围与请求不符" + whole},
        {"short", [](R &r) { r.totalSkew = -4288; }, size, total + whole},
        {"long", [](R &r) { r.totalSkew = 4288; }, size, total + whole},
        {"deaf", [](R &r) { r.ranges = false; }, size, "服务器不支持断点续传" + whole},
        {"changed", [](R &r) { r.etag = "\"v2\"", r.generated += 5000; }, size + 5000,
         "服务器上的文件已更改" + whole},
        {"bare", [](R &r) { r.etag.clear(), r.generated -= 5000; }, size - 5000, total + whole},
        {"twice", [&](R &r) { r.rangeSkew = 1000, r.cutAfter = size / 2; }, -1,
         "下载失败：服务器返回的范围与请求不符"},  // the whole asked for again is cut too
    };
    for (const auto &[name, change, bytes, said] : cases) {
        R then = first;
        then.cutAfter = -1;
        change(then);
        R r = first;
        if (then.etag.isEmpty()) r.etag.clear();  // a file the server names no version of
        server.route("/" + name, r);
        manager.NewDownload(dir.filePath(name), server.url("/" + name));
        const ucDownload *t = manager.tasks().last();
        ASSERT_TRUE(waitFor([&] { return t->state() == ucDownload::State::Interrupted; }));
        server.route("/" + name, then);  // what it is once the first answer was cut
    }
    for (int i = 0; i < cases.size(); ++i) {
        const auto &[name, change, bytes, said] = cases[i];
        const ucDownload *t = manager.tasks().value(i + 1);
        ASSERT_TRUE(waitFor([&] {
            return t->state() == ucDownload::State::Completed ||
                   t->state() == ucDownload::State::Failed;
        }));
        EXPECT_TRUE(t->task().progressText().endsWith(said)) << name.toStdString();
        if (bytes >= 0)
            EXPECT_EQ(ReadBytes(dir.filePath(name)), TestHttpServer::Generated(0, bytes));
        else
            EXPECT_FALSE(QFile::exists(dir.filePath(name)));
    }
    EXPECT_EQ(platform.scripted.notices.size(), 6u);  // only the whole files were announced
}
