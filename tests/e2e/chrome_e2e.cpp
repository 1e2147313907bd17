// The address bar, search, zoom and dropped files driving real pages.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTabBar>
#include <QWebEnginePage>

#include "core/search.h"
#include "core/settings.h"
#include "platform/platform.h"
#include "platform/qtwebview.h"
#include "shell/mdibrowser.h"
#include "support/frameparts.h"
#include "support/httpserver.h"
#include "support/testfolder.h"
#include "support/wait.h"
#include "tab/form1.h"

namespace {

class ChromeE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.useAsAppDir();
        settings::Write(settings::Key::Unload, "0");
        server.page("/typed", "Typed page");
        server.page("/marked", "书签页");
    }
    QWebEnginePage *page(Form1 *t) { return static_cast<QtWebView *>(t->browser())->page(); }
    TestFolder folder;
    TestHttpServer server;
    std::unique_ptr<Platform> platform = makeSystemPlatform();
};

}  // namespace

TEST_F(ChromeE2E, TypingAnAddressAndEnterNavigatesAndSearchesBuildTheEnginesAddress) {
    mdiBrowser f(*platform, QString());
    ASSERT_TRUE(f.Load());
    Form1 *t = frontOf(f);
    ui(f).cboAddress->setEditText(server.url("/typed"));
    QTest::keyClick(ui(f).cboAddress->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return t->caption() == "Typed page"; }, 30000));
    EXPECT_EQ(t->browser()->LocationURL(), server.url("/typed"));

    for (const char *engine : {"0", "1", "2"}) {
        settings::Write(settings::Key::Search, engine);
        ui(f).cboAddress->setEditText(QString());
        QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, "天气 北京");
        QApplication::sendEvent(ui(f).cboAddress->lineEdit(), &typed);
        ui(f).cboAddress->setCurrentIndex(1);  // "搜索"
        emit ui(f).cboAddress->activated(1);
        const QUrl expected(SearchAddress(engine, "天气 北京"));
        EXPECT_TRUE(expected.toString().endsWith("天气 北京")) << engine;
        EXPECT_EQ(page(t)->requestedUrl(), expected) << engine;
    }
    f.close();
}

TEST_F(ChromeE2E, ZoomByLabelAndMenuReachesThePageAndTheSetting) {
    mdiBrowser f(*platform, server.url("/typed"));
    ASSERT_TRUE(f.Load());
    Form1 *t = frontOf(f);
    ASSERT_TRUE(waitFor([&] { return t->caption() == "Typed page"; }, 30000));
    ASSERT_TRUE(waitFor([&] { return zoomOf(f) == 100; }, 10000));
    ui(f).action("mnuZ5")->trigger();  // "150%"
    EXPECT_DOUBLE_EQ(t->browser()->PageZoom(), 1.5);
    EXPECT_EQ(settings::Text(settings::Key::Zoom), "150");
    EXPECT_EQ(ui(f).lblZoom->text(), "150 %");
    QTest::mouseClick(ui(f).lblZoom, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(t->browser()->PageZoom(), 2.0);
    EXPECT_EQ(settings::Text(settings::Key::Zoom), "200");
    // The next load in any tab takes the setting.
    ui(f).cboAddress->setEditText(server.url("/marked"));
    QTest::keyClick(ui(f).cboAddress->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return t->caption() == "书签页"; }, 30000));
    ASSERT_TRUE(waitFor([&] { return t->browser()->PageZoom() == 2.0; }, 10000));
    f.close();
}

TEST_F(ChromeE2E, DroppingThreeFilesOneABookmarkOpensThreeTabs) {
    const QString a = folder.file("a.html"), b = folder.file("b.html"),
                  bm = folder.file("书签/站.zvb");
    WriteBytes(a, "<html><head><title>File A</title></head></html>");
    WriteBytes(b, "<html><head><title>File B</title></head></html>");
    WriteBytes(bm, server.url("/marked").toUtf8() + "\r\n");
    mdiBrowser f(*platform, server.url("/typed"));
    ASSERT_TRUE(f.Load());
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(bm), QUrl::fromLocalFile(b)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ui(f).cboAddress->lineEdit(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ui(f).cboAddress->lineEdit(), &drop);
    ASSERT_EQ(f.tabs().size(), 4);
    EXPECT_TRUE(waitFor([&] { return ui(f).MDITabs->tabText(1) == "File A"; }, 30000));
    EXPECT_TRUE(waitFor([&] { return ui(f).MDITabs->tabText(2) == "书签页"; }, 30000));
    EXPECT_TRUE(waitFor([&] { return ui(f).MDITabs->tabText(3) == "File B"; }, 30000));
    f.close();
}
