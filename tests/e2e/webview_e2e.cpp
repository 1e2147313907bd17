// The real web engine driven through the program's web-view interface.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include "platform/language.h"
#include "platform/qtwebview.h"
#include "support/fakeplatform.h"
#include "support/httpserver.h"
#include "support/wait.h"

namespace {

struct Recorder {
    QStringList events;
    void attach(WebView *v) {
        QObject::connect(v, &WebView::NavigateComplete2,
                         [this](const QString &u) { events << "NavigateComplete2 " + u; });
        QObject::connect(v, &WebView::TitleChange,
                         [this](const QString &t) { events << "Title " + t; });
        QObject::connect(v, &WebView::ProgressChange, [this](int p, int max) {
            if (p == -1 || p == 100) events << QString("Progress %1/%2").arg(p).arg(max);
        });
        QObject::connect(v, &WebView::DownloadComplete, [this] { events << "DownloadComplete"; });
        QObject::connect(v, &WebView::NavigateError,
                         [this](const QString &u) { events << "Error " + u; });
    }
    int indexOf(const QString &prefix) const {
        for (int i = 0; i < events.size(); ++i)
            if (events[i].startsWith(prefix)) return i;
        return -1;
    }
};

FakeDialogs dialogs_;  // the pages' own questions

}  // namespace

TEST(WebViewE2E, LoadsPagesAndReportsEventsInOrder) {
    TestHttpServer server;
    server.page("/one", "第一页", "<p>one</p>");
    server.page("/two", "Second page", "<p>two</p>");
    QTemporaryDir storage;
    auto *engine = new WebEngine(storage.path(), dialogs_);
    QWidget host;
    host.resize(800, 600);
    WebView *v = engine->createView(&host);
    v->widget()->resize(800, 600);
    host.show();
    Recorder r;
    r.attach(v);

    v->Navigate(server.url("/one"));
    ASSERT_TRUE(waitFor([&] { return r.events.contains("DownloadComplete"); }, 30000));
    EXPECT_EQ(v->LocationURL(), server.url("/one"));
    EXPECT_EQ(v->Title(), "第一页");
    EXPECT_GE(r.indexOf("NavigateComplete2 " + server.url("/one")), 0)
        << r.events.join('|').toStdString();
    EXPECT_LT(r.indexOf("NavigateComplete2 " + server.url("/one")), r.indexOf("DownloadComplete"));
    EXPECT_GE(r.indexOf("Title 第一页"), 0);
    EXPECT_GE(r.indexOf("Progress -1/100"), 0);

    r.events.clear();
    v->Navigate(server.url("/two"));
    ASSERT_TRUE(waitFor([&] { return r.events.contains("DownloadComplete"); }, 30000));
    EXPECT_LT(r.indexOf("NavigateComplete2 " + server.url("/two")), r.indexOf("DownloadComplete"));
    EXPECT_EQ(v->Title(), "Second page");
    EXPECT_EQ(server.requests.count("/one"), 1);

    // Zoom as the setting holds it, and back.
    EXPECT_TRUE(v->SetPageZoom("150%"));
    EXPECT_DOUBLE_EQ(v->PageZoom(), 1.5);
    EXPECT_FALSE(v->SetPageZoom("150"));
    EXPECT_FALSE(v->SetPageZoom("abc%"));
    EXPECT_DOUBLE_EQ(v->PageZoom(), 1.5);
    r.events.clear();
    EXPECT_TRUE(v->GoBack());
    ASSERT_TRUE(waitFor([&] { return r.events.contains("DownloadComplete"); }, 30000));
    EXPECT_EQ(v->LocationURL(), server.url("/one"));
    EXPECT_TRUE(v->GoForward());  // and now there is history forward
    delete engine;
}

// A dead port fails without hanging, on an error page in Chinese, as the page's menu is.
// The engine takes its language when it starts: this test starts the first in its process.
TEST(WebViewE2E, ADeadPortFailsWithoutHangingOnAChinesePage) {
    UseChineseInterface();
    QTcpServer grab;  // a port that was free a moment ago and has nobody behind it now
    grab.listen(QHostAddress::LocalHost, 0);
    const quint16 port = grab.serverPort();
    grab.close();
    QTemporaryDir storage;
    auto *engine = new WebEngine(storage.path(), dialogs_);
    QWidget host;
    auto *v = engine->createView(&host);
    host.show();
    EXPECT_EQ(v->page()->action(QWebEnginePage::Back)->text(), "后退");
    EXPECT_EQ(v->page()->action(QWebEnginePage::Reload)->text(), "重新加载");
    Recorder r;
    r.attach(v);
    const QString dead = QString("http://127.0.0.1:%1/nothing").arg(port);
    v->Navigate(dead);
    ASSERT_TRUE(waitFor([&] { return r.events.contains("DownloadComplete"); }, 30000));
    EXPECT_GE(r.indexOf("Error " + dead), 0) << r.events.join('|').toStdString();
    QString text;
    ASSERT_TRUE(waitFor(
        [&] {
            v->page()->toPlainText([&](const QString &t) { text = t; });
            QTest::qWait(100);
            return text.contains(QString::fromUtf8("无法访问"));
        },
        10000))
        << text.toStdString();
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
              "取消");
    delete engine;
}

// Private views share one profile of their own, off the record: no storage name, so nothing
// of theirs is written to disk.
TEST(WebViewE2E, PrivateViewsShareAnOffTheRecordProfile) {
    QTemporaryDir storage;
    auto *engine = new WebEngine(storage.path(), dialogs_);
    QWidget host;
    QWebEngineProfile *profile = engine->createView(&host, true)->page()->profile();
    EXPECT_TRUE(profile->isOffTheRecord());
    EXPECT_TRUE(profile->storageName().isEmpty());
    EXPECT_EQ(engine->createView(&host, true)->page()->profile(), profile);
    EXPECT_NE(profile, engine->profile());
    EXPECT_FALSE(engine->profile()->isOffTheRecord());
    delete engine;
}
