// The frame with the real web engine in this process, pages from a local server.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTabBar>
#include <QTest>
#include <QWebEnginePage>

#include "core/bookmarks.h"
#include "core/settings.h"
#include "platform/platform.h"
#include "platform/qtwebview.h"
#include "platform/webview.h"
#include "shell/commands.h"
#include "shell/mdibrowser.h"
#include "support/frameparts.h"
#include "support/httpserver.h"
#include "support/scriptedplatform.h"
#include "support/testfolder.h"
#include "support/wait.h"
#include "tab/form1.h"

TEST(BrowserE2E, StartsOnAnAddressAndClickedWindowsBecomeTabs) {
    TestFolder folder;
    folder.useAsAppDir();
    TestHttpServer server;
    server.page("/start", "起始页",
                "<a id=l href='/child' target='_blank' style='display:block;height:100vh'>c</a>"
                "<script>setTimeout(function(){ window.open('/popup'); }, 300);</script>");
    server.page("/child", "Child");
    server.page("/popup", "弹出页");
    settings::Write(settings::Key::Zoom, "150");

    auto platform = makeSystemPlatform();
    {
        mdiBrowser f(*platform, server.url("/start"));
        f.Load();
        ASSERT_EQ(f.tabs().size(), 1);
        Form1 *first = f.tabs()[0];
        ASSERT_TRUE(
            waitFor([&] { return (ui(f).MDITabs->tabText(0)) == (QString("起始页")); }, 30000));
        ASSERT_TRUE(waitFor([&] { return (zoomOf(f)) == (150); }, 30000));
        EXPECT_EQ(ui(f).cboAddress->itemText(ui(f).cboAddress->count() - 1), server.url("/start"));
        EXPECT_EQ(ui(f).cboAddress->currentText(), server.url("/start"));
        EXPECT_DOUBLE_EQ(first->browser()->PageZoom(), 1.5);

        // The page's own window.open, no click asking for it, is refused and said; the
        // window a click on its link asks for opens as a tab of ours with the page in it.
        QStringList status;
        QObject::connect(first, &Form1::StatusTextChanged, [&](const QString &t) { status << t; });
        ASSERT_TRUE(
            waitFor([&] { return status.contains("已阻止弹出窗口 (1)，单击此处打开"); }, 30000))
            << status.join('|').toStdString();
        QWidget *page = first->browser()->widget()->focusProxy();
        ASSERT_NE(page, nullptr);
        QTest::mouseClick(page, Qt::LeftButton, {}, page->rect().center());
        ASSERT_TRUE(waitFor([&] { return (f.tabs().size()) == (2); }, 30000));
        Form1 *popup = f.tabs()[1];
        ASSERT_TRUE(waitFor(
            [&] { return (popup->browser()->LocationURL()) == (server.url("/child")); }, 30000));
        ASSERT_TRUE(
            waitFor([&] { return (ui(f).MDITabs->tabText(1)) == (QString("Child")); }, 30000));

        // Closing a background tab writes the active tab's address as LastPage.
        tabSetOf(f)->show(popup);
        tabSetOf(f)->close(first);
        EXPECT_EQ(settings::Text(settings::Key::LastPage), server.url("/child"));
        EXPECT_EQ(f.tabs().size(), 1);
        f.close();
    }
    platform.reset();
}

TEST(BrowserE2E, ClosingWithTwoPagesAsksAndAMaximisedFrameKeepsItsGeometry) {
    TestFolder folder;
    folder.useAsAppDir();
    TestHttpServer server;
    server.page("/a", "A");
    server.page("/b", "B");
    settings::Write(settings::Key::Unload, "1");
    const QByteArray formBefore = ReadBytes(folder.file("数据/Form.ini"));
    ScriptedPlatform platform;
    {
        mdiBrowser f(platform, server.url("/a"));
        f.Load();
        f.OnHandOff("DDEOpen" + server.url("/b"));
        ASSERT_TRUE(waitFor([&] { return ui(f).MDITabs->tabText(1) == "B"; }, 30000));
        platform.scripted.answers = {Dialogs::AnswerNo};
        EXPECT_FALSE(f.close());
        ASSERT_EQ(platform.scripted.shown.size(), 1u);
        EXPECT_EQ(platform.scripted.shown[0].title, "关闭");
        EXPECT_EQ(f.tabs().size(), 2);
        EXPECT_TRUE(f.isVisible());

        f.showMaximized();
        ASSERT_TRUE(waitFor([&] { return f.isMaximized(); }, 5000));
        platform.scripted.answers = {Dialogs::AnswerYes};
        EXPECT_TRUE(f.close());
        EXPECT_EQ(f.tabs().size(), 0);
        EXPECT_EQ(settings::Text(settings::Key::LastPage), server.url("/b"));
    }
    EXPECT_EQ(ReadBytes(folder.file("数据/Form.ini")), formBefore);
}

// "整理书签" lists the bookmark folder; a click on a bookmark there opens its page in a new
// tab, as the desktop would open the file, instead of showing the file's text.
TEST(BrowserE2E, ABookmarkInTheFolderListingOpensItsPage) {
    TestFolder folder;
    folder.useAsAppDir();
    settings::Write(settings::Key::Unload, "0");
    TestHttpServer server;
    server.page("/start", "Start");
    server.page("/kept", "Kept page");
    ASSERT_EQ(WriteBookmarkFile(server.url("/kept"), folder.file("书签/Kept.zvb")), 0);
    auto platform = makeSystemPlatform();
    {
        mdiBrowser f(*platform, server.url("/start"));
        ASSERT_TRUE(f.Load());
        f.Execute(Command::OrganiseBookmarks);
        ASSERT_EQ(f.tabs().size(), 2);
        Form1 *listing = f.tabs()[1];
        auto *page = static_cast<QtWebView *>(listing->browser())->page();
        bool clicked = false;
        ASSERT_TRUE(waitFor(
            [&] {
                // Once only: a slow answer must not bring a second click, and a second tab.
                page->runJavaScript(
                    "(function(){ const a = [...document.querySelectorAll('a')]"
                    ".find(a => a.href.endsWith('.zvb'));"
                    " if (a && !window.clickedOnce) { window.clickedOnce = true; a.click(); }"
                    " return !!a; })()",
                    [&](const QVariant &v) { clicked = clicked || v.toBool(); });
                QTest::qWait(200);
                return clicked;
            },
            30000));
        ASSERT_TRUE(waitFor([&] { return f.tabs().size() == 3; }, 30000));
        EXPECT_TRUE(waitFor(
            [&] { return f.tabs()[2]->browser()->LocationURL() == server.url("/kept"); }, 30000));
        EXPECT_TRUE(listing->browser()->LocationURL().startsWith("file://"));  // still the list
        f.close();
    }
    platform.reset();
}
