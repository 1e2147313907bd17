#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QShortcut>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "bosskey/frmsh.h"
#include "core/bookmarks.h"
#include "core/programfolder.h"
#include "core/session.h"
#include "core/settings.h"
#include "core/store.h"
#include "downloads/frmdownload.h"
#include "platform/history.h"
#include "settings/frmmore.h"
#include "shell/addressbox.h"
#include "shell/commands.h"
#include "shell/findbar.h"
#include "shell/mdibrowser.h"
#include "shell/startup.h"
#include "shell/tabstrip.h"
#include "support/fakeplatform.h"
#include "support/frameparts.h"
#include "support/testfolder.h"
#include "support/wait.h"
#include "tab/form1.h"

namespace {

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override { folder.useAsAppDir(); }
    std::unique_ptr<mdiBrowser> start(const QString &commandLine = {}) {
        auto f = std::make_unique<mdiBrowser>(platform, commandLine);
        f->Load();
        return f;
    }
    FakeWebView *view(Form1 *t) { return static_cast<FakeWebView *>(t->browser()); }
    TestFolder folder;
    FakePlatform platform;
};

}  // namespace

TEST_F(FrameTest, MissingConfigIsRefusedWithItsMessage) {
    QFile::remove(folder.file("config.ini"));
    EXPECT_FALSE(CheckConfig(platform.dialogs_));
    ASSERT_EQ(platform.dialogs_.shown.size(), 1u);
    EXPECT_EQ(platform.dialogs_.shown[0].text, "Telvano无法为你浏览，没有找到配置文件！");
    EXPECT_EQ(platform.dialogs_.shown[0].title, "抱歉");
    EXPECT_EQ(platform.dialogs_.shown[0].icon, Dialogs::Exclamation);
    // Empty, or bytes with no settings in them: damaged, said so with the path; "退出" leaves
    // it as it is, "恢复默认设置" keeps it aside (never over an earlier one) and writes the
    // defaults.
    const QString path = folder.file("config.ini");
    for (const QByteArray &damaged : {QByteArray(), QByteArray("\x01\xfe\x80 noise")}) {
        WriteBytes(path, damaged);
        platform.dialogs_.answers = {Dialogs::AnswerNo};
        EXPECT_FALSE(CheckConfig(platform.dialogs_));
        EXPECT_TRUE(platform.dialogs_.shown.back().text.startsWith("配置文件已损坏：\r\n" + path));
        EXPECT_EQ(platform.dialogs_.shown.back().title, "抱歉");
        EXPECT_EQ(ReadBytes(path), damaged);
        platform.dialogs_.answers = {Dialogs::AnswerYes};
        EXPECT_TRUE(CheckConfig(platform.dialogs_));
        EXPECT_FALSE(config::configDamaged(path));
        EXPECT_EQ(ReadBytes(path),
                  ReadBytes(OLUMETTA_TEMPLATE_DIR "/config.ini"));  // the shipped one
    }
    EXPECT_EQ(ReadBytes(path + ".damaged"), QByteArray());
    EXPECT_EQ(ReadBytes(path + ".damaged.1"), QByteArray("\x01\xfe\x80 noise"));
    WriteBytes(folder.file("config.ini"), "[Setting]\r\n");
    EXPECT_TRUE(CheckConfig(platform.dialogs_));
}

TEST_F(FrameTest, NewTabsFollowTheHomePageSettings) {
    settings::Write(settings::Key::IEHomePage, "0");
    settings::Write(settings::Key::OnOpen, "0");
    settings::Write(settings::Key::HomePage, "http://home/");
    auto f = start();
    ASSERT_EQ(f->tabs().size(), 1);
    EXPECT_TRUE(view(f->tabs()[0])->calls.isEmpty());  // the first tab after start-up is blank
    f->OpenNewFrm();
    EXPECT_EQ(view(f->tabs()[1])->calls, QStringList{"Navigate http://home/"});
    EXPECT_EQ(frontOf(*f), f->tabs()[1]);

    settings::Write(settings::Key::OnOpen, "1");
    settings::Write(settings::Key::LastPage, "http://last/");
    f->OpenNewFrm();
    EXPECT_EQ(view(f->tabs()[2])->calls, QStringList{"Navigate http://last/"});

    settings::Write(settings::Key::IEHomePage, "1");
    f->OpenNewFrm();
    EXPECT_EQ(view(f->tabs()[3])->calls, QStringList{"GoHome"});

    // Missing or non-numeric values count as 0.
    settings::Write(settings::Key::IEHomePage, "yes");
    settings::Write(settings::Key::OnOpen, "");
    f->OpenNewFrm();
    EXPECT_EQ(view(f->tabs()[4])->calls, QStringList{"Navigate http://home/"});
}

TEST_F(FrameTest, CommandLineWordsAndAddresses) {
    auto f = start("\"http://a.cn/%1\"");
    ASSERT_EQ(f->tabs().size(), 1);
    EXPECT_EQ(view(f->tabs()[0])->calls, QStringList{"Navigate http://a.cn/"});
    f.reset();

    auto p = start("PassWord");
    ASSERT_EQ(p->tabs().size(), 2);
    EXPECT_FALSE(p->tabs()[0]->isLocked());
    EXPECT_TRUE(p->tabs()[1]->isLocked());
    EXPECT_TRUE(view(p->tabs()[1])->calls.isEmpty());
    EXPECT_FALSE(view(p->tabs()[1])->inputEnabled);
}

TEST_F(FrameTest, PageEventsReachTheFrame) {
    settings::Write(settings::Key::Zoom, "150");
    auto f = start("http://one/");
    Form1 *one = f->tabs()[0];
    view(one)->finishLoad("http://one/", "第一页");
    EXPECT_EQ(ui(f).MDITabs->tabText(0), "第一页");
    EXPECT_EQ(ui(f).cboAddress->currentText(), "http://one/");
    EXPECT_EQ(ui(f).cboAddress->itemText(ui(f).cboAddress->count() - 1), "http://one/");
    EXPECT_EQ(view(one)->zoomText, "150%");
    EXPECT_EQ(ui(f).lblZoom->text(), "150 %");
    EXPECT_EQ(zoomOf(*f), 150);
    EXPECT_EQ(ui(f).lblSta->text(), "正在打开网页...");

    // Twice the same address: one entry, at the end.
    f->OpenNewFrm();
    Form1 *two = f->tabs()[1];
    view(two)->finishLoad("http://two/", "second");
    view(one)->finishLoad("http://one/", "第一页");
    QStringList items;
    for (int i = 0; i < ui(f).cboAddress->count(); ++i) items << ui(f).cboAddress->itemText(i);
    EXPECT_EQ(items, (QStringList{"转到", "搜索", "http://two/", "http://one/"}));

    // A background tab's status text and progress are not shown.
    ui(f).lblSta->clear();
    emit view(one)->StatusTextChange("background");
    EXPECT_EQ(ui(f).lblSta->text(), "");
    emit view(two)->StatusTextChange("foreground");
    EXPECT_EQ(ui(f).lblSta->text(), "foreground");

    // A zoom setting that is no number gives a zoom of 0 and keeps the page as it was.
    settings::Write(settings::Key::Zoom, "big");
    view(two)->finishLoad("http://two/", "second");
    EXPECT_EQ(zoomOf(*f), 0);
    EXPECT_EQ(view(two)->zoomText, "150%");
}

TEST_F(FrameTest, NewWindowsOpenInTabsAndInheritTheLock) {
    settings::Write(settings::Key::OpenPass, "1");
    auto f = start("http://a/");
    Form1 *opener = f->tabs()[0];
    EXPECT_TRUE(opener->isLocked());
    opener->setLocked(false);
    WebView *target = opener->browser()->host()->openWindow(false);
    ASSERT_EQ(f->tabs().size(), 2);
    EXPECT_EQ(target, f->tabs()[1]->browser());
    EXPECT_FALSE(f->tabs()[1]->isLocked());  // unlocked opener, even with OpenPass on

    opener->setLocked(true);
    opener->browser()->host()->openWindow(false);
    EXPECT_TRUE(f->tabs()[2]->isLocked());
    EXPECT_FALSE(view(f->tabs()[2])->inputEnabled);

    // A missing OpenPass counts as met: every new tab locks, and its password field has
    // the keyboard.
    settings::Write(settings::Key::OpenPass, "");
    f->OpenNewFrm();
    EXPECT_TRUE(f->tabs()[3]->isLocked());
    EXPECT_EQ(f->focusWidget(), lockOf(f->tabs()[3])->txtPass);

    // A page may close the window a page opened; the tab the user opened stays.
    Form1 *opened = f->tabs()[1];
    emit view(f->tabs()[3])->CloseRequested();
    emit view(opened)->CloseRequested();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(f->tabs().size(), 3);
    EXPECT_FALSE(f->tabs().contains(opened));
}

TEST_F(FrameTest, ClosingTabsWritesLastPageAndCloseAllLeavesOne) {
    auto f = start("http://a/");
    view(f->tabs()[0])->finishLoad("http://a/", "A");
    f->OpenNewFrm();
    Form1 *b = f->tabs()[1];
    view(b)->finishLoad("http://b/", "B");
    tabSetOf(*f)->show(f->tabs()[0]);
    EXPECT_EQ(ui(f).cboAddress->currentText(), "http://a/");
    tabSetOf(*f)->close(b);  // a background tab
    EXPECT_EQ(settings::Text(settings::Key::LastPage), "http://a/");
    EXPECT_EQ(f->tabs().size(), 1);
    f->OpenNewFrm(true);  // behind a private tab, a tab closed leaves its own address
    view(frontOf(*f))->finishLoad("http://secret/", "S");
    tabSetOf(*f)->close(f->tabs()[0]);
    EXPECT_EQ(settings::Text(settings::Key::LastPage), "http://a/");

    for (int i = 0; i < 4; ++i) f->OpenNewFrm();
    ASSERT_EQ(f->tabs().size(), 5);
    ui(f).action("mnuClAl")->trigger();
    EXPECT_EQ(f->tabs().size(), 1);

    ui(f).action("mnuClNw")->trigger();
    EXPECT_EQ(f->tabs().size(), 0);      // the frame stays open without tabs
    ui(f).action("mnuClNw")->trigger();  // and closing nothing does nothing
    ui(f).action("mnuPrc1")->trigger();
    // The address box makes a tab when there is none.
    ui(f).cboAddress->setEditText("http://typed/");
    QTest::keyClick(ui(f).cboAddress->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(f->tabs().size(), 1);
    EXPECT_EQ(view(f->tabs()[0])->calls.last(), "Navigate http://typed/");
}

TEST_F(FrameTest, AddressBoxGoAndSearchUseWhatWasTyped) {
    settings::Write(settings::Key::Search, "2");
    auto f = start("http://a/");
    FakeWebView *v = view(f->tabs()[0]);
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, "天气 北京");  // as an input method types
    QApplication::sendEvent(ui(f).cboAddress->lineEdit(), &typed);
    ui(f).cboAddress->setCurrentIndex(1);  // "搜索"
    emit ui(f).cboAddress->activated(1);
    EXPECT_EQ(v->calls.last(),
              "Navigate https://cn.bing.com/search?q=" + QUrl::toPercentEncoding("天气 北京"));
    ui(f).cboAddress->setCurrentIndex(0);  // "转到"
    emit ui(f).cboAddress->activated(0);
    EXPECT_EQ(v->calls.last(), "Navigate 天气 北京");
    // Leaving the box with the text of a list item navigates nowhere.
    view(f->tabs()[0])->finishLoad("http://listed/", "L");
    view(f->tabs()[0])->finishLoad("http://current/", "C");
    f->show();
    QApplication::setActiveWindow(f.get());
    const int calls = v->calls.size();
    ui(f).cboAddress->lineEdit()->setFocus();
    ui(f).cboAddress->setEditText(QString());
    QKeyEvent listed(QEvent::KeyPress, 0, Qt::NoModifier, "http://listed/");
    QApplication::sendEvent(ui(f).cboAddress->lineEdit(), &listed);
    ui(f).MDITabs->setFocus();  // the focus leaves the box
    EXPECT_EQ(v->calls.size(), calls);
    EXPECT_EQ(f->tabs().size(), 1);
    const int before = v->calls.size();
    // Escape gives back the page's address, selected; what was typed goes nowhere.
    ui(f).cboAddress->setFocus();
    ui(f).cboAddress->setEditText("half-typed");
    QTest::keyClick(ui(f).cboAddress, Qt::Key_Escape);
    EXPECT_EQ(ui(f).cboAddress->currentText(), "http://current/");
    EXPECT_EQ(ui(f).cboAddress->lineEdit()->selectedText(), "http://current/");
    EXPECT_EQ(v->calls.size(), before);
    // A page that finishes loading while the user types leaves the typing alone.
    QTest::keyClicks(ui(f).cboAddress, "new");
    view(f->tabs()[0])->finishLoad("http://late/", "Late");
    EXPECT_EQ(ui(f).cboAddress->currentText(), "new");

    // What is typed is what opens, never a longer address from the list; the suggestions
    // below hold the typed text anywhere, visited pages with their titles first: Up/Down
    // choose, Delete forgets one, Escape closes them and then gives the page's address back.
    auto *popup = f->findChild<QListWidget *>("lstSuggest");
    ASSERT_TRUE(popup);
    auto typeOver = [&](const QString &text) {
        ui(f).cboAddress->lineEdit()->selectAll();
        QTest::keyClicks(ui(f).cboAddress, text);
    };
    auto lines = [&] {
        QStringList out;
        for (int i = 0; i < popup->count(); ++i) out << popup->item(i)->text();
        return out;
    };
    platform.history().Flush();
    typeOver("http://l");
    EXPECT_EQ(ui(f).cboAddress->currentText(), "http://l");
    // The first was loaded after an address was typed: it counts double. History answers off
    // the interface's thread; a key shows at once what the last answer holds of the text.
    auto answered = [&](const QStringList &want) {
        return waitFor([&] { return lines() == want; });
    };
    EXPECT_TRUE(answered({"L  —  http://listed/", "Late  —  http://late/"}));
    QTest::keyClicks(ui(f).cboAddress, "a");
    EXPECT_EQ(lines(), QStringList({"Late  —  http://late/"}));
    QTest::keyClick(ui(f).cboAddress, Qt::Key_Return);
    EXPECT_EQ(v->calls.last(), "Navigate http://la");
    typeOver("LATE");
    EXPECT_TRUE(answered({"Late  —  http://late/"}));
    QTest::keyClick(ui(f).cboAddress, Qt::Key_Down);
    QTest::keyClick(ui(f).cboAddress, Qt::Key_Return);
    EXPECT_EQ(v->calls.last(), "Navigate http://late/");
    EXPECT_FALSE(popup->isVisible());
    typeOver("isted");
    QTest::keyClick(ui(f).cboAddress, Qt::Key_Up);  // from none to the last line
    QTest::keyClick(ui(f).cboAddress, Qt::Key_Delete);
    EXPECT_EQ(ui(f).cboAddress->findText("http://listed/"), -1);
    EXPECT_EQ(ui(f).cboAddress->currentText(), "isted");
    platform.history().Flush();
    typeOver("listed");
    QTest::qWait(300);
    EXPECT_EQ(lines(), QStringList());  // gone from the history too
    typeOver("cur");
    EXPECT_TRUE(popup->isVisible());
    QTest::keyClick(ui(f).cboAddress, Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(ui(f).cboAddress->currentText(), "cur");
    QTest::keyClick(ui(f).cboAddress, Qt::Key_Escape);
    EXPECT_EQ(ui(f).cboAddress->currentText(), v->LocationURL());
}

TEST_F(FrameTest, ShutdownAsksWithSeveralTabsAndKeepsMaximisedGeometry) {
    settings::Write(settings::Key::Unload, "1");
    const QByteArray formBefore = ReadBytes(folder.file("数据/Form.ini"));
    auto f = start("http://a/");
    f->OpenNewFrm();
    platform.dialogs_.answers = {Dialogs::AnswerNo};
    EXPECT_FALSE(f->close());
    ASSERT_EQ(platform.dialogs_.shown.size(), 1u);
    EXPECT_EQ(platform.dialogs_.shown[0].text, "浏览器内部可能还有未关闭的页面\r\n您仍要关闭吗？");
    EXPECT_EQ(platform.dialogs_.shown[0].title, "关闭");
    EXPECT_EQ(f->tabs().size(), 2);

    f->showMaximized();
    QApplication::processEvents();
    platform.dialogs_.answers = {Dialogs::AnswerYes};
    EXPECT_TRUE(f->close());
    EXPECT_EQ(f->tabs().size(), 0);
    EXPECT_EQ(ReadBytes(folder.file("数据/Form.ini")), formBefore);
}

TEST_F(FrameTest, ShutdownWithOneTabNeverAsksAndSavesGeometry) {
    settings::Write(settings::Key::Unload, "1");
    auto f = start("http://a/");
    f->setGeometry(100, 80, 700, 500);  // within the offscreen screen
    EXPECT_TRUE(f->close());
    EXPECT_TRUE(platform.dialogs_.shown.empty());
    const QString form = folder.file("数据/Form.ini");
    EXPECT_EQ(ReadIni("Form", "Width", form), "10500");
    EXPECT_EQ(ReadIni("Form", "Height", form), "7500");
    EXPECT_EQ(ReadIni("Form", "Left", form), "1500");
    EXPECT_EQ(platform.tracksCleared, 0);  // AutoDelete is 0 by default
}

TEST_F(FrameTest, ShutdownClearsTracksWhenSetOrUnreadable) {
    for (const char *value : {"1", "", "yes"}) {
        settings::Write(settings::Key::AutoDelete, value);
        platform.tracksCleared = 0;
        auto f = start("http://a/");
        view(f->tabs()[0])->finishLoad("http://b/", "B");
        f->tabs()[0]->setLocked(true);
        view(f->tabs()[0])->finishLoad("http://secret/", "S");  // a locked tab's: never
        platform.history().Flush();
        EXPECT_EQ(platform.history().Visits().size(), 1);
        EXPECT_TRUE(f->close());
        platform.history().Flush();
        EXPECT_EQ(platform.tracksCleared, 1) << value;
        EXPECT_TRUE(platform.history().Visits().isEmpty());  // our history too
        EXPECT_EQ(platform.cleared, Platform::History);      // the cache and cookies stay
    }
}

// Every way of clearing clears the same: the visits, the engine's history, the download list;
// the address box keeps "转到" and "搜索" at its head, the next address after them.
TEST_F(FrameTest, EveryWayOfClearingClearsTheSame) {
    settings::Write(settings::Key::Unload, "0");
    const std::function<void(mdiBrowser &)> ways[] = {
        [](mdiBrowser &f) {  // 历史记录 > 清除历史记录 > 全部
            f.Execute(Command::History);
            f.findChild<QWidget *>("frmHistory")
                ->findChild<QToolButton *>("cmdClear")
                ->menu()
                ->actions()
                .last()
                ->trigger();
        },
        [&](mdiBrowser &) { frmMore(platform, nullptr).cmdClear->click(); },
        [](mdiBrowser &f) {
            settings::Write(settings::Key::AutoDelete, "1");
            f.close();
        },
    };
    for (const auto &clear : ways) {
        settings::Write(settings::Key::AutoDelete, "0");
        auto f = start("http://a/");
        view(f->tabs()[0])->finishLoad("http://a/", "A");
        platform.dialogs_.files = {folder.file("got.bin")};
        f->tabs()[0]->browser()->host()->offerDownload({"http://a/got.bin", "got.bin", nullptr});
        emit platform.transfers.last()->Finished(false, {});
        const QString list = folder.file("数据/downloads.dat");
        platform.history().Flush();
        ASSERT_FALSE(platform.history().Visits().isEmpty());
        ASSERT_TRUE(waitFor([&] { return ReadBytes(list).contains("got.bin"); }));
        platform.tracksCleared = 0;
        clear(*f);
        platform.history().Flush();
        QCoreApplication::processEvents();  // what was written reaches the address box
        EXPECT_TRUE(platform.history().Visits().isEmpty());
        EXPECT_EQ(platform.tracksCleared, 1);
        EXPECT_FALSE(ReadBytes(list).contains("got.bin"));
        if (!f->isVisible()) continue;  // the close cleared it
        view(f->tabs()[0])->finishLoad("http://b/", "B");
        QStringList listed;
        for (int i = 0; i < ui(f).cboAddress->count(); ++i) listed << ui(f).cboAddress->itemText(i);
        EXPECT_EQ(listed, QStringList({"转到", "搜索", "http://b/"}));
    }
}

// A private tab: on its own profile, marked, and kept nowhere (no visit, no session entry, no
// LastPage, nothing in the address box's list); its windows and copies are private too, and
// what it closed comes back only while a private tab is open.
TEST_F(FrameTest, APrivateTabIsKeptNowhere) {
    settings::Write(settings::Key::Unload, "0");
    WriteIni("Color", "clrPrivate", "&H0000C0&", folder.file("皮肤/默认.ini"));  // the skin's
    auto f = start("http://a/");
    view(f->tabs()[0])->finishLoad("http://open/", "Open");
    ui(f).action("mnuNewPrivate")->trigger();
    Form1 *p = frontOf(*f);
    ASSERT_TRUE(p->isPrivate() && view(p)->offTheRecord);
    EXPECT_TRUE(f->findChild<QLabel *>("lblPrivate")->isVisibleTo(f.get()));
    TabStrip *strip = tabSetOf(*f)->strip();
    const QImage drawn = strip->grab().toImage();
    auto band = [&](int i) { return drawn.pixelColor(strip->tabRect(i).center().x(), 3); };
    EXPECT_EQ(band(1), QColor(0xC0, 0, 0));
    EXPECT_NE(band(0), QColor(0xC0, 0, 0));
    view(p)->finishLoad("http://secret/", "Secret");
    view(p)->url = "http://secret/";
    EXPECT_TRUE(p->browser()->host()->openWindow(true)->OffTheRecord());  // a Ctrl+click
    ASSERT_EQ(f->Execute(Command::DuplicateTab), Ran::Done);
    EXPECT_TRUE(frontOf(*f)->isPrivate());
    platform.dialogs_.files = {folder.file("hush.bin")};
    p->browser()->host()->offerDownload({"http://secret/hush.bin", "hush.bin", nullptr});
    ASSERT_EQ(f->downloadManager()->tasks().size(), 1);
    QStringList listed;
    for (int i = 0; i < ui(f).cboAddress->count(); ++i) listed << ui(f).cboAddress->itemText(i);
    EXPECT_TRUE(listed.contains("http://open/"));
    EXPECT_FALSE(listed.contains("http://secret/"));
    platform.history().Flush();
    const QList<Visit> visits = platform.history().Visits();
    ASSERT_EQ(visits.size(), 1);
    EXPECT_EQ(visits[0].url, "http://open/");
    tabSetOf(*f)->close(p);
    EXPECT_NE(settings::Text(settings::Key::LastPage), "http://secret/");
    ASSERT_EQ(f->Execute(Command::ReopenClosedTab), Ran::Done);  // others are still open
    EXPECT_TRUE(frontOf(*f)->isPrivate());
    for (Form1 *t : f->tabs())
        if (t->isPrivate()) tabSetOf(*f)->close(t);
    EXPECT_EQ(f->Execute(Command::ReopenClosedTab), Ran::Nothing);
    ASSERT_EQ(f->downloadManager()->tasks().size(), 1);  // forgotten once it ends
    emit platform.transfers.last()->Finished(false, {});
    EXPECT_TRUE(f->downloadManager()->tasks().isEmpty());
    ui(f).action("mnuTc2")->trigger();
    f->downloadManager()->hide();
    EXPECT_TRUE(f->close());
    const auto kept = ReadSessionFile(folder.file("数据/session.dat"), qVersion());
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->tabs.size(), 1);
    EXPECT_EQ(kept->tabs[0].url, "http://open/");
}

// The session: kept at a normal close as the tabs were when it was confirmed, offered back
// by the menu after a normal end and by the bar after an unclean one; a damaged file is
// ignored; cleared tracks leave none.
TEST_F(FrameTest, TheLastRunsTabsComeBack) {
    settings::Write(settings::Key::Unload, "0");
    const QString file = folder.file("数据/session.dat"),
                  mark = folder.file("数据/session.running");
    auto bar = [](const std::unique_ptr<mdiBrowser> &f) {
        return f->findChild<QWidget *>("barRestore")->isVisibleTo(f.get());
    };
    {
        auto f = start("http://a/");
        EXPECT_TRUE(QFile::exists(mark));
        view(f->tabs()[0])->finishLoad("http://b/", "B");
        view(f->tabs()[0])->history = {"http://a/", "http://b/"};
        QPixmap red(16, 16);
        red.fill(Qt::red);
        emit view(f->tabs()[0])->IconChange(QIcon(red));
        f->OpenNewFrm();
        f->tabs()[1]->setLocked(true);
        EXPECT_TRUE(f->close());
        EXPECT_FALSE(QFile::exists(mark));
    }
    const auto kept = ReadSessionFile(file, qVersion());
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->tabs.size(), 2);
    EXPECT_EQ(kept->tabs[0].url, "http://b/");
    EXPECT_TRUE(kept->tabs[1].locked);
    EXPECT_EQ(kept->active, 1);
    auto f = start("http://c/");
    EXPECT_FALSE(bar(f));  // a normal end
    ui(f).action("mnuRestore")->trigger();
    ASSERT_EQ(f->tabs().size(), 3);
    EXPECT_TRUE(view(f->tabs()[1])->calls.isEmpty());  // it rests until it is shown
    EXPECT_EQ(f->tabs()[1]->caption(), "B");
    EXPECT_EQ(ui(f).MDITabs->tabText(1), "B");  // the strip's caption and icon too
    EXPECT_EQ(ui(f).MDITabs->tabIcon(1).pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
    EXPECT_TRUE(f->tabs()[2]->isLocked());
    EXPECT_EQ(frontOf(*f), f->tabs()[2]);
    f->Execute(Command::SelectTab, 2);
    EXPECT_EQ(view(f->tabs()[1])->calls.last(), "Restore http://a/|http://b/");
    view(f->tabs()[1])->finishLoad("http://b/", "B");
    emit view(f->tabs()[1])->IconChange(QIcon());  // the engine has none for a page put back
    EXPECT_EQ(ui(f).MDITabs->tabIcon(1).pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
    platform.history().Flush();
    EXPECT_EQ(platform.history().Visits().size(), 1);  // the first run's: put back, not visited
    f.reset();                                         // gone without a close: the mark stays
    EXPECT_TRUE(QFile::exists(mark));
    // Crashes in a row with the offer unanswered: the tabs of both runs are offered, and the
    // blank start page gives way to them.
    for (const char *address : {"http://d/", ""}) {
        f = start(address);
        EXPECT_TRUE(bar(f));
        if (*address) view(f->tabs()[0])->finishLoad(address, "D");
        QTest::qWait(1200);  // kept
        if (*address) f.reset();
    }
    f->findChild<QPushButton *>("cmdRestore")->click();
    ASSERT_EQ(f->tabs().size(), 3);  // the first run's two, then the second's in front
    EXPECT_EQ(f->tabs()[0]->page().url, "http://b/");
    EXPECT_TRUE(f->tabs()[1]->isLocked());
    EXPECT_EQ(view(f->tabs()[2])->calls, QStringList{"Navigate http://d/"});
    f->close();
    WriteBytes(file, "damaged");
    WriteBytes(mark, "");
    f = start("http://e/");
    EXPECT_FALSE(bar(f));
    view(f->tabs()[0])->finishLoad("http://e/", "E");
    QTest::qWait(600);  // said after the page's own status
    EXPECT_EQ(f->findChild<QLabel *>("lblSta")->text(), "上次的选项卡记录已损坏，已忽略。");
    settings::Write(settings::Key::AutoDelete, "1");
    f->close();
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(FrameTest, HandOffCommandsOpenTabs) {
    settings::Write(settings::Key::OnOpen, "1");
    auto f = start("http://a/");
    f->OnHandOff("DDEOpen\"http://b/\"");
    ASSERT_EQ(f->tabs().size(), 2);
    EXPECT_EQ(view(f->tabs()[1])->calls, QStringList{"Navigate http://b/"});
    f->OnHandOff("OpenNew");
    EXPECT_EQ(view(f->tabs()[2])->calls, QStringList{"GoHome"});  // OnOpen is not consulted
    f->OnHandOff("open");
    EXPECT_EQ(f->tabs().size(), 3);
}

// The tab strip's extra commands keep the strip and the pages in step: a tab behind the
// active one lies next to it, closed tabs come back last first with their history.
TEST_F(FrameTest, TabCommandsOfOtherBrowsers) {
    auto f = start("http://a/");
    f->OnHandOff("DDEOpen\"http://b/\"");
    f->OnHandOff("DDEOpen\"http://c/\"");  // a b c, c active
    auto urls = [&] {
        QStringList out;
        for (Form1 *t : f->tabs()) out << view(t)->calls.value(0).section(' ', -1);
        return out;
    };
    ASSERT_EQ(f->Execute(Command::SelectTab, 1), Ran::Done);
    Form1 *behind = tabSetOf(*f)->create(true);
    view(behind)->Navigate("http://new/");
    EXPECT_EQ(urls(), QStringList({"http://a/", "http://new/", "http://b/", "http://c/"}));
    EXPECT_EQ(frontOf(*f), f->tabs()[0]);
    EXPECT_EQ(f->Execute(Command::SelectTab, 9), Ran::Done);
    EXPECT_EQ(frontOf(*f), f->tabs()[3]);
    EXPECT_EQ(f->Execute(Command::NextTab), Ran::Done);  // round to the first
    EXPECT_EQ(frontOf(*f), f->tabs()[0]);

    for (Form1 *t : f->tabs()) {
        view(t)->url = view(t)->calls.value(0).section(' ', 1);
        view(t)->history = {view(t)->calls.value(0)};
    }
    ASSERT_EQ(f->Execute(Command::SelectTab, 2), Ran::Done);
    ASSERT_EQ(f->Execute(Command::CloseTabsToTheRight), Ran::Done);
    EXPECT_EQ(urls(), QStringList({"http://a/", "http://new/"}));
    ASSERT_EQ(f->Execute(Command::CloseOtherTabs), Ran::Done);
    EXPECT_EQ(urls(), QStringList({"http://new/"}));
    ASSERT_EQ(f->Execute(Command::ReopenClosedTab), Ran::Done);  // the last closed: a
    EXPECT_EQ(view(frontOf(*f))->calls.last(), "Restore Navigate http://a/");
    ASSERT_EQ(f->Execute(Command::ReopenClosedTab), Ran::Done);
    EXPECT_EQ(view(frontOf(*f))->calls.last(), "Restore Navigate http://b/");
    ASSERT_EQ(f->Execute(Command::ReopenClosedTab), Ran::Done);
    EXPECT_EQ(view(frontOf(*f))->calls.last(), "Restore Navigate http://c/");
    EXPECT_EQ(f->Execute(Command::ReopenClosedTab), Ran::Nothing);
    // Each came back where it was; a copy lies right after its source.
    EXPECT_EQ(urls(), QStringList({"http://a/", "http://new/", "http://b/", "http://c/"}));
    ASSERT_EQ(f->Execute(Command::SelectTab, 2), Ran::Done);
    ASSERT_EQ(f->Execute(Command::DuplicateTab), Ran::Done);
    EXPECT_EQ(urls(),
              QStringList({"http://a/", "http://new/", "http://new/", "http://b/", "http://c/"}));
    EXPECT_EQ(frontOf(*f), f->tabs()[2]);
}

TEST_F(FrameTest, GesturesSwitchAndKeyPollLocks) {
    settings::Write(settings::Key::Mouse, "0");
    auto f = start("http://a/");
    EXPECT_EQ(ui(f).lblMouse->text(), "关闭手势");
    EXPECT_FALSE(ui(f).action("mnuMouse")->isChecked());
    ui(f).action("mnuMouse")->trigger();
    EXPECT_EQ(settings::Text(settings::Key::Mouse), "1");
    EXPECT_EQ(ui(f).lblMouse->text(), "鼠标手势");
    ui(f).action("mnuMouse")->trigger();
    EXPECT_EQ(settings::Text(settings::Key::Mouse), "0");

    platform.keys_.down.insert(Qt::Key_F4);
    QTest::qWait(40);
    EXPECT_TRUE(frontOf(*f)->isLocked());
}

// At rest nothing of ours wakes: no timer of ours fires while nobody does anything.
TEST_F(FrameTest, AtRestNoTimerOfOursFires) {
    platform.keys_.watches = true;
    auto f = start("http://a/");
    f->show();
    view(frontOf(*f))->finishLoad("http://a/", "A");
    QTest::qWait(2000);  // the session kept a second after the load
    EventsSeen timers(QEvent::Timer);
    QTest::qWait(3000);
    const QStringList ours = timers.classes.filter(QRegularExpression("^(QTimer$|[^Q])"));
    EXPECT_EQ(ours, QStringList()) << ours.join(", ").toStdString();
}

// A locked tab lends its page to nothing, whichever way it is asked: every command that would
// show, keep or search it says so and does nothing; an open find bar closes with its
// highlights and stays closed over the locked tab; its addresses stay out of the box's list;
// and what is typed after a navigation from the address box goes to the password.
TEST_F(FrameTest, ALockedTabLendsItsPageToNothing) {
    auto f = start("http://a/");
    Form1 *t = frontOf(*f);
    ASSERT_EQ(f->Execute(Command::Find), Ran::Done);
    auto *bar = f->findChild<FindBar *>();
    auto barShown = [&] { return bar->isVisibleTo(f.get()); };
    ASSERT_TRUE(barShown());
    t->setLocked(true);
    EXPECT_FALSE(barShown());
    EXPECT_EQ(view(t)->calls.value(view(t)->calls.size() - 1), "Find ");  // highlights gone
    view(t)->calls.clear();
    emit bar->FindRequested("word", false, false);
    for (Command c : {Command::Print, Command::SavePage, Command::Find, Command::FindNext,
                      Command::FindPrevious, Command::AddBookmark, Command::AddToDesktop}) {
        ui(f).lblSta->clear();
        EXPECT_EQ(f->Execute(c), Ran::Nothing) << int(c);
        EXPECT_EQ(ui(f).lblSta->text(), "此选项卡已锁定") << int(c);
    }
    EXPECT_EQ(view(t)->calls, QStringList());
    EXPECT_TRUE(platform.desktop_.launchers.isEmpty());
    // Its copies keep the lock: a duplicate, and the duplicate closed and brought back.
    view(t)->url = "http://a/";
    ASSERT_EQ(f->Execute(Command::DuplicateTab), Ran::Done);
    EXPECT_TRUE(frontOf(*f)->isLocked());
    view(frontOf(*f))->url = "http://a/";
    tabSetOf(*f)->close(frontOf(*f));
    ASSERT_EQ(f->Execute(Command::ReopenClosedTab), Ran::Done);
    EXPECT_TRUE(frontOf(*f)->isLocked());
    tabSetOf(*f)->close(frontOf(*f));
    f->OpenNewFrm();
    ASSERT_EQ(f->Execute(Command::Find), Ran::Done);
    f->Execute(Command::SelectTab, 1);
    EXPECT_FALSE(barShown());  // not reopened over the locked tab

    view(t)->finishLoad("http://secret/", "Secret");
    QStringList items;
    for (int i = 0; i < ui(f).cboAddress->count(); ++i) items << ui(f).cboAddress->itemText(i);
    EXPECT_FALSE(items.contains("http://secret/"));
    emit static_cast<AddressBox *>(ui(f).cboAddress)->NavigateRequested("http://b/");
    EXPECT_EQ(f->focusWidget(), lockOf(t)->txtPass);
}

TEST_F(FrameTest, OrganiseBookmarksOpensTheFolderOnlyWhenItExists) {
    auto f = start("http://a/");
    // "书签" in "管理": folders as submenus, ".zvb" files exactly, read as it opens.
    QDir(folder.file("书签")).mkpath("工作");
    WriteBookmarkFile("http://news/", folder.file("书签/新闻.zvb"));
    WriteBookmarkFile("http://work/", folder.file("书签/工作/报表.zvb"));
    WriteBookmarkFile("http://upper/", folder.file("书签/Upper.ZVB"));
    auto *menu = f->findChild<QMenu *>("mnuFav");
    ASSERT_TRUE(menu);
    emit menu->aboutToShow();
    QStringList items;
    for (QAction *a : menu->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{"导入书签和历史记录…", "导出书签…", "", "工作", "新闻"}));
    QMenu *sub = menu->actions()[3]->menu();
    EXPECT_TRUE(sub->isEmpty());  // read only when it opens
    emit sub->aboutToShow();
    EXPECT_EQ(sub->actions().value(0)->text(), "报表");
    for (int i = 0; i < 301; ++i)  // more than a menu shows: the rest in a tab
        WriteBookmarkFile("http://x/",
                          folder.file(QString("书签/工作/%1.zvb").arg(i, 3, 10, QChar('0'))));
    menu->actions()[3]->menu()->clear();
    emit sub->aboutToShow();
    ASSERT_EQ(sub->actions().size(), 301);
    EXPECT_EQ(sub->actions()[0]->text(), "000");
    sub->actions().last()->trigger();
    ASSERT_EQ(f->tabs().size(), 2);
    EXPECT_EQ(view(f->tabs()[1])->calls, QStringList{"Navigate " + AppDir() + "书签/工作/"});
    tabSetOf(*f)->close(f->tabs()[1]);
    menu->actions()[4]->trigger();
    EXPECT_EQ(view(f->tabs()[0])->calls.last(), "Navigate http://news/");
    ui(f).action("mnuOrgFav")->trigger();
    ASSERT_EQ(f->tabs().size(), 2);
    EXPECT_EQ(view(f->tabs()[1])->calls, QStringList{"Navigate " + AppDir() + "书签/"});
    for (int i = 0; i < 302; ++i) QDir(folder.file("书签")).mkpath(QString("多/%1").arg(i + 100));
    WriteBookmarkFile("http://x/", folder.file("书签/多/页.zvb"));
    emit menu->aboutToShow();
    ASSERT_EQ(menu->actions()[3]->text(), "多");
    sub = menu->actions()[3]->menu();
    emit sub->aboutToShow();
    ASSERT_EQ(sub->actions().size(), 301);  // folders first, the file among the rest
    EXPECT_EQ(sub->actions()[0]->text(), "100");
    EXPECT_EQ(sub->actions().last()->text(), "更多…");
    QDir(folder.file("书签")).removeRecursively();
    ui(f).action("mnuOrgFav")->trigger();
    EXPECT_EQ(f->tabs().size(), 2);
}

TEST_F(FrameTest, MenusCarryTheirCaptionsAndEveryCommandIsThere) {
    auto f = start("http://a/");
    EXPECT_EQ(ui(f).mnuM->title(), "管理");
    EXPECT_EQ(ui(f).action("mnuNew")->text(), "开始新的浏览...");
    EXPECT_TRUE(ui(f).action("mnuDis0")->isChecked());
    EXPECT_EQ(ui(f).action("mnuZ0")->text(), "400%");
    EXPECT_EQ(ui(f).action("mnuZ7")->text(), "50%");
    EXPECT_TRUE(ui(f).action("mnuDM")->isEnabled());
    EXPECT_TRUE(ui(f).action("mnuHc0")->isEnabled());
    EXPECT_TRUE(ui(f).action("mnuPrc0")->isEnabled());  // the boss key
    for (const char *built : {"mnuAddFav", "mnuHc2", "mnuAddDkt", "mnuPrc3", "mnuPrc5"})
        EXPECT_TRUE(ui(f).action(built)->isEnabled()) << built;
    ui(f).action("mnuZ5")->trigger();
    EXPECT_EQ(settings::Text(settings::Key::Zoom), "150");
    EXPECT_EQ(view(frontOf(*f))->zoomText, "150%");
    EXPECT_EQ(ui(f).lblZoom->text(), "150 %");

    // Every row: its item with its caption, its keys bound once (F2 and F4 only shown: the
    // key poll reads them), its fixed gesture; with no tab, what needs one finds nothing.
    QSet<QString> names;
    QList<QKeySequence> bound;
    for (const QShortcut *s : f->findChildren<QShortcut *>()) bound << s->key();
    for (const CommandRow &row : CommandRows()) {
        if (row.caption) {
            EXPECT_EQ(ui(f).action(row.objectName)->text(), QString::fromUtf8(row.caption));
            EXPECT_FALSE(names.contains(row.objectName)) << row.objectName;
            names << row.objectName;
        }
        for (const QKeySequence &keys : row.keys)
            EXPECT_EQ(bound.count(keys), row.pollKey ? 0 : 1) << keys.toString().toStdString();
    }
    for (auto g : {gesture::Fixed::Back, gesture::Fixed::Forward, gesture::Fixed::CloseTab,
                   gesture::Fixed::NewTab, gesture::Fixed::Home, gesture::Fixed::Search})
        EXPECT_TRUE(RowOfGesture(g)) << int(g);
    for (Form1 *t : f->tabs()) tabSetOf(*f)->close(t);
    for (const CommandRow &row : CommandRows()) {
        if (!row.needsTab) continue;
        EXPECT_EQ(f->Execute(row.command, row.value), Ran::Nothing) << int(row.command);
    }
    // The zoom menu still sets the label and the setting for the pages to come; a search
    // with no engine still makes a tab.
    ui(f).action("mnuZ3")->trigger();
    EXPECT_EQ(settings::Text(settings::Key::Zoom), "250");
    EXPECT_EQ(ui(f).lblZoom->text(), "250 %");
    EXPECT_EQ(zoomOf(*f), 250);
    settings::Write(settings::Key::Search, "9");
    ui(f).cboAddress->setCurrentIndex(1);  // "搜索"
    emit ui(f).cboAddress->activated(1);
    ASSERT_EQ(f->tabs().size(), 1);
    EXPECT_FALSE(view(f->tabs()[0])->calls.contains("Navigate "));

    // Every row's handler runs its command (the boxes it opens closed, the update check's
    // server failing at once); Exit last.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [this] {
        if (QWidget *box = QApplication::activeModalWidget()) box->close();
        for (FakeTransfer *t : platform.transfers)
            if (t && !t->cancelled) emit t->Finished(false, {});
    });
    closer.start(20);
    QList<CommandRow> rows = CommandRows();
    std::stable_partition(rows.begin(), rows.end(),
                          [](const CommandRow &r) { return r.command != Command::Exit; });
    for (const CommandRow &row : rows) {
        if (f->tabs().isEmpty()) f->OpenNewFrm();
        frontOf(*f)->setLocked(false);
        EXPECT_NE(f->Execute(row.command, row.value), Ran::NotMine) << int(row.command);
    }
}

// The boss key takes every window of ours away and brings back what was showing; a custom
// picture that will not load still leaves something to type into.
TEST_F(FrameTest, TheBossKeyHidesItsWindowsAndBringsThemBackAsTheyWere) {
    settings::Write(settings::Key::SHKey, "q");
    settings::Write(settings::Key::SuperHide, "7");
    settings::Write(settings::Key::SHCustom, folder.file("missing.png"));
    auto f = start("http://a/");
    f->OpenNewFrm();
    Form1 *first = f->tabs().at(0);
    tabSetOf(*f)->show(first);
    f->downloadManager()->show();
    auto disguise = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return f->findChild<frmSH *>("frmSH");
    };
    f->Execute(Command::BossKey);
    EXPECT_FALSE(f->isVisible());
    EXPECT_FALSE(f->downloadManager()->isVisible());
    ASSERT_TRUE(disguise() && disguise()->isVisible());
    EXPECT_EQ(disguise()->size(), QSize(169, 22));
    QTest::keyClick(disguise(), Qt::Key_F5);
    QTest::keyClicks(disguise(), "Q");
    EXPECT_TRUE(f->isDisguised());
    // The frame comes back first, so that its windows stay above it.
    EventsSeen shown(QEvent::Show);
    QTest::keyClicks(disguise(), "q");
    EXPECT_FALSE(f->isDisguised());
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->downloadManager()->isVisible());
    EXPECT_LT(shown.receivers.indexOf(f.get()), shown.receivers.indexOf(f->downloadManager()));
    EXPECT_GE(shown.receivers.indexOf(f.get()), 0);
    EXPECT_EQ(frontOf(*f), first);

    QPixmap custom(50, 20);
    custom.fill(Qt::darkCyan);
    ASSERT_TRUE(custom.save(folder.file("custom.png")));
    settings::Write(settings::Key::SHCustom, folder.file("custom.png"));
    f->Execute(Command::BossKey);
    ASSERT_TRUE(disguise());
    EXPECT_EQ(disguise()->size(), QSize(50, 20));  // read afresh on every disguise
    f->OnHandOff("OpenNew");                       // a later start ends it too
    EXPECT_FALSE(f->isDisguised());
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->tabs().size(), 2);  // and that is all it does
    f->OnHandOff("OpenNew");
    EXPECT_EQ(f->tabs().size(), 3);
}
