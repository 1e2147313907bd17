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
#include "support/inpute2e.h"
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

// With real keys and clicks: the lock, the boss key, and a page's dialogs over a lock.
// Alt+F4 closing another program leaves our page alone; F4 locks it; the lock takes the
// password from the keyboard; minimising with "MinPass" brings the page back locked.
TEST_P(InputE2E, F4AndMinimiseLockAndTheKeyboardUnlocks) {
    setting("MinPass", "1");
    // The longest password the settings take (93 bytes), typed from the keyboard.
    const QString password = QString("Pw9!").repeated(23) + "x";
    setting("PassWord", Base64Encode(password));
    launch({server.url("/magenta")}, server.url("/magenta"));
    ASSERT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 10000));

    // Another program in front; Alt+F4 is meant for it.
    QProcess other;
    const QString otherWindow = x.openWindow(other, "other", "+300+300");
    ASSERT_FALSE(otherWindow.isEmpty());
    // The window manager may still be passing the focus when the keys come: a user would
    // press them again, and so does this (our page must stay unlocked every time).
    for (int attempt = 0; attempt < 3 && other.state() != QProcess::NotRunning; ++attempt) {
        x.clickOpenWindow(otherWindow);
        x.xdo({"keydown", "alt"});
        x.hold("F4");
        x.xdo({"keyup", "alt"});
        QTest::qWait(400);
        if (!x.windowManager()) break;
        waitFor([&] { return other.state() == QProcess::NotRunning; }, 3000);
    }
    if (x.windowManager()) {
        EXPECT_EQ(other.state(), QProcess::NotRunning);
    }
    other.kill();
    other.waitForFinished(3000);
    EXPECT_GT(magentaShare(), 0.9);

    x.hold("F4");
    EXPECT_TRUE(waitFor([&] { return magentaShare() < 0.05; }, 5000));
    x.click(points().page());  // into the window, to type there
    x.type(password.left(92));
    x.key("Return");
    QTest::qWait(300);
    EXPECT_LT(magentaShare(), 0.05);  // wrong: still covered, the text stays to correct
    x.key("ctrl+a");
    x.type(password);
    x.key("Return");
    EXPECT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 5000));

    // The lock travels with the page: its copy ("复制选项卡") and the tab closed and brought
    // back show nothing of it.
    x.hold("F4");
    ASSERT_TRUE(waitFor([&] { return magentaShare() < 0.05; }, 5000));
    x.click(points().firstTab(), 3);
    QTest::qWait(500);
    for (const char *k : {"Down", "Down", "Down", "Down", "Down", "Return"})
        x.key(k);  // 复制选项卡
    ASSERT_TRUE(waitFor([&] { return session.pages().size() == 2; }, 10000));
    QTest::qWait(1000);
    EXPECT_EQ(magentaShare(), 0.0);  // not one pixel of the page
    x.key("ctrl+w");
    ASSERT_TRUE(waitFor([&] { return session.pages().size() == 1; }, 10000));
    x.key("ctrl+shift+t");
    ASSERT_TRUE(waitFor([&] { return session.pages().size() == 2; }, 10000));
    QTest::qWait(1000);
    EXPECT_EQ(magentaShare(), 0.0);
    x.click(points().page());
    x.type(password);
    x.key("Return");
    EXPECT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 5000));

    x.click(points().caption(2));  // minimise
    if (x.windowManager()) {
        EXPECT_TRUE(waitFor([&] { return session.frameWindow().isEmpty(); }, 5000));
        // Back from the window manager's list, as a taskbar would bring it.
        QByteArray all;
        x.xdo({"search", "--name", "Orvex Lumetta$"}, &all);
        for (const QByteArray &w : all.trimmed().split('\n')) x.xdo({"windowactivate", w});
        EXPECT_TRUE(waitFor([&] { return !session.frameWindow().isEmpty(); }, 5000));
    }
    QTest::qWait(500);
    EXPECT_LT(magentaShare(), 0.05);
    x.type(password);
    x.key("Return");
    EXPECT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 5000));
}

// F2 from another program hides every window of ours and leaves only the disguise, in the
// screen's corner above the panel; only the exact restore character, or a later start,
// brings everything back as it was.
TEST_P(InputE2E, TheBossKeyHidesEverythingAndOneKeyBringsItBack) {
    setting("SHKey", "q");
    setting("SuperHide", "0");
    int panel = 0;
    QProcess bar;  // with a window manager: a panel keeping 40 pixels at the bottom
    if (x.windowManager()) {
        const QString panelWindow = x.openWindow(bar, "panel", "1280x40+0+760");
        ASSERT_FALSE(panelWindow.isEmpty());
        QProcess::execute("env", {"DISPLAY=" + x.display(), "xprop", "-id", panelWindow, "-f",
                                  "_NET_WM_STRUT_PARTIAL", "32c", "-set", "_NET_WM_STRUT_PARTIAL",
                                  "0,0,0,40,0,0,0,0,0,0,0,1279"});
        panel = 40;
    }
    launch({server.url("/magenta")}, server.url("/magenta"));
    const qint64 pid = browser->processId();
    // The download manager through the menu button: 页面 → 启动下载管理器.
    x.click(points().menuButton());
    QTest::qWait(700);
    for (const char *k : {"Down", "Down", "Down", "Right", "Down", "Down", "Return"}) x.key(k);
    ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 2; }, 5000));
    const QRect frame = frameRect();

    QProcess other;  // beside the frame, so that clicking it never lands on ours
    const QString otherWindow = x.openWindow(other, "other", "+1165+100");
    ASSERT_FALSE(otherWindow.isEmpty());
    x.clickOpenWindow(otherWindow);

    const struct {
        const char *superHide;
        QSize size;
    } disguises[] = {{"0", {169, 22}}, {"1", {166, 25}}, {"2", {127, 26}}};
    for (const auto &d : disguises) {
        setting("SuperHide", d.superHide);
        x.hold("F2");
        QStringList ours;
        ASSERT_TRUE(waitFor([&] { return (ours = x.windowsOf(pid)).size() == 1; }, 5000))
            << d.superHide;
        const QRect shown = x.geometry(ours.first());
        EXPECT_EQ(shown,
                  QRect(QPoint(1280 - d.size.width(), 800 - panel - d.size.height()), d.size))
            << d.superHide;
        x.hold("F2");  // again: nothing changes
        EXPECT_EQ(x.windowsOf(pid), ours);
        x.click(shown.center());
        x.type("Q");
        QTest::qWait(300);
        EXPECT_EQ(x.windowsOf(pid), ours);
        if (QString(d.superHide) == "1") {  // a later start ends the disguise and opens its page
            auto later = session.start({server.url("/typed")});
            ASSERT_TRUE(later->waitForFinished(15000));
            EXPECT_TRUE(waitFor([&] { return session.hasPage(server.url("/typed")); }, 20000));
        } else {
            x.type("q");
        }
        ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 2; }, 5000)) << d.superHide;
        EXPECT_EQ(frameRect(), frame);
        x.clickOpenWindow(otherWindow);  // the other program in front again
        ASSERT_EQ(other.state(), QProcess::Running);
    }
    // A page's question asked behind the disguise waits for the restore, over its page.
    server.page("/later", "Later",
                "<style>html,body{background:#ff00ff}</style>"
                "<script>setTimeout(()=>prompt('名字'),2000)</script>");
    typeAddress(server.url("/later"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/later"), "Later"); }));
    x.hold("F2");
    ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 1; }, 5000));
    QTest::qWait(3000);
    EXPECT_EQ(x.windowsOf(pid).size(), 1);
    x.type("q");
    ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 2; }, 5000));
    EXPECT_TRUE(waitFor([&] { return magentaShare() < 0.6; }, 5000));
    x.key("Escape");
    EXPECT_TRUE(waitFor([&] { return magentaShare() > 0.9; }, 5000));
    // A box waiting for its answer goes too, and waits again after the restore; a
    // maximised frame comes back maximised.
    x.click(points().toolbar(), 1, 2);
    ASSERT_TRUE(waitFor([&] { return frameRect().width() == 1280; }, 5000));
    setting("Unload", "1");
    x.click(points().caption(0));  // the close question
    ASSERT_TRUE(waitFor([&] { return !x.windows("^关闭$").isEmpty(); }, 5000));
    x.hold("F2");
    ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 1; }, 5000));
    EXPECT_TRUE(x.windows("^关闭$").isEmpty());
    QTest::qWait(300);
    x.type("q");
    ASSERT_TRUE(waitFor([&] { return x.windowsOf(pid).size() == 3; }, 5000));
    EXPECT_FALSE(x.windows("^关闭$").isEmpty());
    EXPECT_EQ(frameRect().width(), 1280);
    x.key("Escape");  // 否: the browser stays
    EXPECT_TRUE(waitFor([&] { return x.windows("^关闭$").isEmpty(); }, 5000));
    QTest::qWait(300);
    EXPECT_EQ(browser->state(), QProcess::Running);
    other.kill();
    bar.kill();
    other.waitForFinished(3000);
    bar.waitForFinished(3000);
}

// A page's dialogs hold only their tab: a background tab's alert waits until its tab is in
// front, tabs are clicked meanwhile; a tab alerting in a loop closes with Ctrl+W, and
// "禁止此网页再显示对话框" quiets it. An answered question gives the keyboard back to its page.
TEST_P(InputE2E, APageDialogHoldsOnlyItsTab) {
    if (!GetParam()) GTEST_SKIP() << "once is enough, on a desktop with a window manager";
    const QString magenta = "<style>html,body{background:#ff00ff}</style><script>";
    server.page("/late", "Late",
                magenta +
                    "setTimeout(()=>alert('late'),1500);"
                    "onkeydown=()=>document.documentElement.style.background="
                    "document.body.style.background='#0f0'</script>");
    server.page("/loop", "Loop", magenta + "setInterval(()=>alert('again'),1500)</script>");
    auto share = [&](const QColor &c) {
        return ShareOfColour(x.screenshot(), points().pageArea(), c);
    };
    // the page dims under a question: an unpainted page is no question
    auto asking = [&] { return waitFor([&] { return share(QColor(185, 0, 185)) > 0.3; }, 8000); };
    auto free = [&] { return waitFor([&] { return magentaShare() > 0.9; }, 8000); };
    launch({server.url("/magenta")}, server.url("/magenta"));
    x.key("ctrl+t");
    typeAddress(server.url("/late"));
    ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url("/late"), "Late"); }));
    x.key("ctrl+1");
    QTest::qWait(2500);  // asked behind
    EXPECT_TRUE(free());
    x.key("ctrl+2");
    EXPECT_TRUE(asking());
    x.click(points().firstTab());
    EXPECT_TRUE(free());
    x.key("ctrl+2");
    EXPECT_TRUE(asking());
    x.key("Return");
    EXPECT_TRUE(free());
    x.key("k");
    EXPECT_TRUE(waitFor([&] { return share(Qt::green) > 0.9; }));

    typeAddress(server.url("/loop"));
    ASSERT_TRUE(asking());
    x.key("ctrl+w");
    EXPECT_TRUE(waitFor([&] { return !session.hasPage(server.url("/loop")); }));
    EXPECT_TRUE(free());
    x.key("ctrl+t");
    typeAddress(server.url("/loop"));
    ASSERT_TRUE(asking());
    x.key("Return");
    ASSERT_TRUE(free());
    ASSERT_TRUE(asking());  // again, now with the box to quiet it
    for (const char *k : {"shift+Tab", "space", "Return"}) x.key(k);
    EXPECT_TRUE(free());
    QTest::qWait(1500);
    EXPECT_GT(magentaShare(), 0.9);
}
