// The frame on the fake platform: its start, the tabs that settings, the command line, pages
// and later starts open, the strip's commands, and a frame at rest.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>

#include "core/settings.h"
#include "core/store.h"
#include "shell/commands.h"
#include "shell/startup.h"
#include "support/frametest.h"
#include "support/wait.h"

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
