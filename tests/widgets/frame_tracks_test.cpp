// What the frame keeps and what it clears: the geometry and the question at a close, the
// tracks by every way of clearing, nothing of a private tab, and the last run's tabs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "core/session.h"
#include "core/settings.h"
#include "core/store.h"
#include "downloads/frmdownload.h"
#include "platform/history.h"
#include "settings/frmmore.h"
#include "shell/commands.h"
#include "shell/tabstrip.h"
#include "support/frametest.h"
#include "support/wait.h"

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
