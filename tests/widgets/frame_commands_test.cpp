// The frame's commands: the menus and every command in them, the gesture switch and the key
// poll, a locked tab that lends its page to none, the bookmarks menu, and the boss key.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSet>
#include <QShortcut>
#include <QTest>
#include <QTimer>

#include "bosskey/frmsh.h"
#include "core/bookmarks.h"
#include "core/programfolder.h"
#include "core/settings.h"
#include "downloads/frmdownload.h"
#include "shell/addressbox.h"
#include "shell/commands.h"
#include "shell/findbar.h"
#include "support/frametest.h"
#include "support/wait.h"

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
