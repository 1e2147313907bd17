// The lock over real pages: the content filter, the password, new windows, keyboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QWebEnginePage>

#include "core/base64.h"
#include "core/settings.h"
#include "platform/platform.h"
#include "platform/qtwebview.h"
#include "shell/mdibrowser.h"
#include "support/frameparts.h"
#include "support/httpserver.h"
#include "support/testfolder.h"
#include "support/wait.h"
#include "tab/form1.h"
#include "tab/lockpanel.h"

namespace {

// The value of a script expression in the tab's page.
QString evaluate(Form1 *tab, const QString &script) {
    auto *view = static_cast<QtWebView *>(tab->browser());
    QString result = "<none>";
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant &v) {
        result = v.toString();
        done = true;
    });
    waitFor([&] { return done; }, 10000);
    return result;
}

class LockE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.useAsAppDir();
        settings::Write(settings::Key::PassWord, Base64Encode("opensesame"));
        settings::Write(settings::Key::Unload, "0");  // no close question to answer
        server.page("/blocked", "Free PORN Videos", "<p id=p>behind the lock</p>");
        server.page("/form", "Form", "<input id=q autofocus>");
        server.page("/opener", "Opener",
                    "<a href='/form' target=_blank style='display:block;height:100vh'>o</a>");
    }
    TestFolder folder;
    TestHttpServer server;
    std::unique_ptr<Platform> platform = makeSystemPlatform();
};

}  // namespace

TEST_F(LockE2E, ABlockedTitleIsCoveredUntilTheRightPassword) {
    settings::Write(settings::Key::UseFilter, "1");
    settings::Write(settings::Key::Filter, "100");
    mdiBrowser f(*platform, server.url("/blocked"));
    ASSERT_TRUE(f.Load());
    Form1 *t = f.tabs().at(0);
    ASSERT_TRUE(waitFor([&] { return t->caption() == "Free PORN Videos"; }, 30000));
    EXPECT_TRUE(t->isLocked());
    LockPanel *lock = lockOf(t);
    lock->txtPass->setText("guess");
    lock->cmdPass->click();
    EXPECT_TRUE(t->isLocked());
    lock->txtPass->setText("opensesame");
    lock->cmdPass->click();
    EXPECT_FALSE(t->isLocked());
    // The page went on loading behind the panel.
    ASSERT_TRUE(waitFor(
        [&] {
            return evaluate(t, "document.getElementById('p').textContent") == "behind the lock";
        },
        10000));
    EXPECT_EQ(t->browser()->LocationURL(), server.url("/blocked"));
    f.close();
}

// Until a page has a title the engine shows its address: a search for a blocked word, or a
// page with no title at all, is no title to judge.
TEST_F(LockE2E, TheFilterJudgesTitlesNotTheAddressesShownInTheirPlace) {
    settings::Write(settings::Key::UseFilter, "1");
    settings::Write(settings::Key::Filter, "101");
    settings::Write(settings::Key::FilterText, "127.0.0.1");
    TestHttpServer::Response untitled;
    untitled.body = "<html><body>no title here</body></html>";
    server.route("/s?wd=porn", untitled);
    mdiBrowser f(*platform, server.url("/s?wd=porn"));
    ASSERT_TRUE(f.Load());
    Form1 *t = f.tabs().at(0);
    ASSERT_TRUE(waitFor([&] { return evaluate(t, "document.body.textContent") == "no title here"; },
                        30000));
    QTest::qWait(300);
    EXPECT_FALSE(t->caption().isEmpty());  // the engine's stand-in
    EXPECT_FALSE(t->isLocked()) << t->caption().toStdString();
    // A page's own title is judged even when it is the address's host.
    const QString host = QUrl(server.url("/")).authority();
    server.page("/", host);
    ui(f).cboAddress->setEditText(server.url("/"));
    QTest::keyClick(ui(f).cboAddress, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return t->caption() == host && t->isLocked(); }, 30000))
        << t->caption().toStdString();
    t->setLocked(false);
    ui(f).cboAddress->setEditText(server.url("/s?wd=porn"));  // untitled after a title
    QTest::keyClick(ui(f).cboAddress, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return t->caption().contains("porn"); }, 30000));
    QTest::qWait(300);
    EXPECT_FALSE(t->isLocked());
    ui(f).cboAddress->setEditText(server.url("/blocked"));
    QTest::keyClick(ui(f).cboAddress, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return t->caption() == "Free PORN Videos"; }, 30000));
    EXPECT_TRUE(t->isLocked());
    f.close();
}

TEST_F(LockE2E, OpenPassLocksNewTabsButNotWindowsOfAnUnlockedTab) {
    settings::Write(settings::Key::OpenPass, "1");
    mdiBrowser f(*platform, server.url("/opener"));
    ASSERT_TRUE(f.Load());
    Form1 *opener = f.tabs().at(0);
    EXPECT_TRUE(opener->isLocked());
    lockOf(opener)->txtPass->setText("opensesame");
    lockOf(opener)->cmdPass->click();
    ASSERT_FALSE(opener->isLocked());
    ASSERT_TRUE(waitFor([&] { return opener->caption() == "Opener"; }, 30000));
    QWidget *page = opener->browser()->widget()->focusProxy();
    ASSERT_NE(page, nullptr);
    QTest::mouseClick(page, Qt::LeftButton, {}, page->rect().center());  // a window it asks for
    ASSERT_TRUE(waitFor([&] { return f.tabs().size() == 2; }, 30000));
    EXPECT_FALSE(f.tabs()[1]->isLocked());
    f.OpenNewFrm();
    EXPECT_TRUE(f.tabs()[2]->isLocked());
    f.close();
}

namespace {
// Whether Tab, pressed from the given widget on, reaches the page within a few steps.
bool tabReachesPage(Form1 *t, QWidget *from) {
    QWidget *view = t->browser()->widget();
    from->setFocus();
    for (int i = 0; i < 12; ++i) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus) return false;
        if (focus == view || view->isAncestorOf(focus)) return true;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return false;
}
}  // namespace

TEST_F(LockE2E, KeysNeverReachALockedPage) {
    mdiBrowser f(*platform, server.url("/form"));
    ASSERT_TRUE(f.Load());
    f.activateWindow();
    QApplication::setActiveWindow(&f);
    Form1 *t = f.tabs().at(0);
    ASSERT_TRUE(waitFor([&] { return evaluate(t, "document.activeElement.id") == "q"; }, 30000));
    QWidget *page = t->browser()->widget()->focusProxy();
    ASSERT_NE(page, nullptr);
    // Unlocked, the Tab order from the address box reaches the page.
    EXPECT_TRUE(tabReachesPage(t, ui(f).cboAddress));

    ui(f).action("mnuPrc1")->trigger();
    ASSERT_TRUE(t->isLocked());
    EXPECT_FALSE(page->isEnabled());
    EXPECT_EQ(t->browser()->widget()->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(tabReachesPage(t, ui(f).cboAddress));
    EXPECT_FALSE(tabReachesPage(t, lockOf(t)->txtPass));
    // What is typed goes to the password field, and keys aimed at the page are refused.
    lockOf(t)->txtPass->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "xyz");
    EXPECT_EQ(lockOf(t)->txtPass->text(), "xyz");
    QTest::keyClicks(page, "abc");
    QTest::qWait(200);
    EXPECT_EQ(evaluate(t, "document.getElementById('q').value"), "");

    lockOf(t)->txtPass->setText("opensesame");
    lockOf(t)->cmdPass->click();
    ASSERT_FALSE(t->isLocked());
    EXPECT_TRUE(page->isEnabled());
    EXPECT_TRUE(tabReachesPage(t, ui(f).cboAddress));
    f.close();
}
