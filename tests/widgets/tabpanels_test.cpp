#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "about/frmabout.h"
#include "core/base64.h"
#include "core/bookmarks.h"
#include "core/codepage.h"
#include "core/settings.h"
#include "core/store.h"
#include "services/parental.h"
#include "shell/mdibrowser.h"
#include "support/fakeplatform.h"
#include "support/frameparts.h"
#include "support/testfolder.h"
#include "support/wait.h"
#include "tab/form1.h"
#include "tab/frmaddfav.h"
#include "tab/lockpanel.h"
#include "tab/navpage.h"
#include "tab/notices.h"

namespace {

class PanelsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.useAsAppDir();
        settings::Write(settings::Key::OpenNav, "1");
    }
    std::unique_ptr<mdiBrowser> start(const QString &commandLine = "http://a/") {
        auto f = std::make_unique<mdiBrowser>(platform, commandLine);
        f->resize(900, 640);
        loaded = f->Load();
        return f;
    }
    FakeWebView *view(Form1 *t) { return static_cast<FakeWebView *>(t->browser()); }
    QString navi(const char *key) { return ReadIni("Navi", key, folder.file("数据/navi.ini")); }
    TestFolder folder;
    FakePlatform platform;
    bool loaded = false;
};

}  // namespace

TEST_F(PanelsTest, TilesOpenAndTheEditorAddsEditsAndEmpties) {
    WriteIni("Navi", "n1", "http://one/@@壹@@255", folder.file("数据/navi.ini"));
    WriteIni("Navi", "n2", "e", folder.file("数据/navi.ini"));
    auto f = start();
    Form1 *t = frontOf(*f);
    NavPage *nav = navOf(t);
    ASSERT_TRUE(nav->isVisible());
    ASSERT_TRUE(nav->built());
    EXPECT_TRUE(nav->txtSearch->isVisible());
    for (QWidget *tile : nav->picWebs) EXPECT_TRUE(tile->isVisible());
    EXPECT_FALSE(nav->picAddNav->isVisible());
    EXPECT_EQ(nav->tiles[0].caption, "壹");
    EXPECT_EQ(nav->picWebs[0]->toolTip(), "壹");
    EXPECT_EQ(nav->tiles[1].caption, "点击添加");
    EXPECT_EQ(nav->tiles[1].colour, kWhite);
    // A new locked tab under the navigation page: the keyboard goes to what shows.
    settings::Write(settings::Key::OpenPass, "1");
    f->OpenNewFrm();
    EXPECT_EQ(f->focusWidget(), navOf(frontOf(*f))->txtSearch);
    settings::Write(settings::Key::OpenPass, "0");
    f->Execute(Command::SelectTab, 1);

    // An empty tile proposes the current page.
    view(t)->url = "http://current/";
    t->setWindowTitle("当前页");
    QTest::mouseClick(nav->picWebs[1], Qt::LeftButton);
    EXPECT_TRUE(nav->picAddNav->isVisible());
    EXPECT_EQ(nav->txtUrl->text(), "http://current/");
    EXPECT_EQ(nav->txtCap->text(), "当前页");
    EXPECT_EQ(nav->editorTag, "1");
    platform.dialogs_.colours = {QColor(0, 0, 255)};
    nav->picClr_Click();
    nav->cmdOK_Click();
    EXPECT_FALSE(nav->picAddNav->isVisible());
    EXPECT_EQ(navi("n2"), "http://current/@@当前页@@16711680");
    EXPECT_EQ(nav->tiles[1].address, "http://current/");

    // Right click edits a filled tile; an empty address empties it.
    QTest::mouseClick(nav->picWebs[0], Qt::RightButton);
    EXPECT_EQ(nav->txtUrl->text(), "http://one/");
    EXPECT_EQ(nav->txtCap->text(), "壹");
    nav->txtUrl->clear();
    nav->cmdOK_Click();
    EXPECT_EQ(navi("n1"), "e");
    EXPECT_EQ(nav->tiles[0].caption, "点击添加");

    // A cancelled colour dialog and cancel write nothing.
    QTest::mouseClick(nav->picWebs[2], Qt::RightButton);
    nav->picClr_Click();
    const QString before = navi("n3");
    nav->cmdCel_Click();
    EXPECT_EQ(navi("n3"), before);

    // A filled tile opens its address and hides the page.
    QTest::mouseClick(nav->picWebs[1], Qt::LeftButton);
    EXPECT_EQ(view(t)->calls.last(), "Navigate http://current/");
    EXPECT_FALSE(nav->isVisible());
}

TEST_F(PanelsTest, SearchBoxSearchesTheTypedTextAndAlwaysHidesThePage) {
    settings::Write(settings::Key::Search, "0");
    auto f = start();
    Form1 *t = frontOf(*f);
    EXPECT_TRUE(navOf(t)->txtSearch->text().isEmpty());  // "搜索..." is only a placeholder
    EXPECT_EQ(navOf(t)->txtSearch->placeholderText(), "搜索...");
    navOf(t)->txtSearch->setText("天气 预报");
    QTest::keyClick(navOf(t)->txtSearch, Qt::Key_Return);
    EXPECT_EQ(view(t)->calls.last(),
              "Navigate https://www.baidu.com/s?wd=" + QUrl::toPercentEncoding("天气 预报"));

    EXPECT_FALSE(navOf(t)->isVisible());
    navOf(t)->show();
    settings::Write(settings::Key::Search, "9");
    const int n = view(t)->calls.size();
    QTest::keyClick(navOf(t)->txtSearch, Qt::Key_Return);
    EXPECT_EQ(view(t)->calls.size(), n);
    EXPECT_FALSE(navOf(t)->isVisible());
}

TEST_F(PanelsTest, OnlyTheRightPasswordUnlocksAndOnlyThatTab) {
    settings::Write(settings::Key::OpenNav, "0");
    settings::Write(settings::Key::PassWord, Base64Encode("s3cret"));
    auto f = start();
    f->OpenNewFrm();
    Form1 *t = frontOf(*f);
    ui(f).action("mnuPrc1")->trigger();  // "密码保护"
    EXPECT_TRUE(t->isLocked());
    EXPECT_FALSE(f->tabs()[0]->isLocked());
    EXPECT_FALSE(view(t)->inputEnabled);
    LockPanel *lock = lockOf(t);
    EXPECT_EQ(lock->lblCant->text(), "您不能浏览该网页！");
    EXPECT_EQ(lock->lblPass->text(), "请输入密码：");
    EXPECT_EQ(lock->txtPass->echoMode(), QLineEdit::Password);

    lock->txtPass->setText("wrong");
    QTest::keyClick(lock->txtPass, Qt::Key_Return);
    EXPECT_TRUE(t->isLocked());
    EXPECT_EQ(lock->txtPass->text(), "wrong");
    lock->txtPass->setText("s3cret");
    lock->cmdPass->click();
    EXPECT_FALSE(t->isLocked());
    EXPECT_EQ(lock->txtPass->text(), "");
    EXPECT_TRUE(view(t)->inputEnabled);

    // No password stored: an empty entry unlocks. A Chinese password works both ways.
    settings::Write(settings::Key::PassWord, "");
    t->setLocked(true);
    lock->cmdPass->click();
    EXPECT_FALSE(t->isLocked());
    settings::Write(settings::Key::PassWord, Base64Encode("密码"));
    t->setLocked(true);
    lock->txtPass->setText("密码");
    lock->cmdPass->click();
    EXPECT_FALSE(t->isLocked());
}

TEST_F(PanelsTest, TheNavigationPageLiesAboveTheLock) {
    settings::Write(settings::Key::OpenPass, "1");
    auto f = start();
    Form1 *t = frontOf(*f);
    ASSERT_TRUE(t->isLocked());
    ASSERT_TRUE(navOf(t)->isVisible());
    const QPoint centre = t->rect().center();
    QWidget *top = t->childAt(centre);
    while (top && top != navOf(t) && top != lockOf(t)) top = top->parentWidget();
    EXPECT_EQ(top, navOf(t));
    navOf(t)->hide();
    top = t->childAt(centre);
    while (top && top != navOf(t) && top != lockOf(t)) top = top->parentWidget();
    EXPECT_EQ(top, lockOf(t));
}

TEST_F(PanelsTest, ABlockedTitleLocksTheTab) {
    settings::Write(settings::Key::OpenNav, "0");
    settings::Write(settings::Key::UseFilter, "1");
    settings::Write(settings::Key::Filter, "100");
    auto f = start();
    Form1 *t = frontOf(*f);
    view(t)->finishLoad("http://clean/", "A clean page");
    EXPECT_FALSE(t->isLocked());
    view(t)->finishLoad("http://x/", "Free PORN Videos");
    EXPECT_TRUE(t->isLocked());
    EXPECT_EQ(ui(f).MDITabs->tabText(0), "Free PORN Videos");
    t->setLocked(false);
    settings::Write(settings::Key::UseFilter, "0");
    view(t)->finishLoad("http://x/", "Free PORN Videos");
    EXPECT_FALSE(t->isLocked());
}

// Two things to say at once: the second waits for the first's answer, and a new page ends both.
TEST_F(PanelsTest, ANoticeAskedForWhileAnotherIsUpWaitsItsTurn) {
    auto f = start();
    Form1 *t = frontOf(*f);
    view(t)->finishLoad("http://a/", "A");
    emit view(t)->RenderProcessGone();
    emit view(t)->CertificateProblem("https://bad/", "expired");
    auto *panel = t->findChild<NoticePanel *>("picNotice");
    ASSERT_TRUE(panel && !panel->isHidden());
    EXPECT_EQ(panel->lblTitle->text(), "此网页已崩溃");
    QTest::mouseClick(panel->buttons.value(0), Qt::LeftButton);  // 重新加载
    EXPECT_EQ(view(t)->calls.last(), "Refresh");
    ASSERT_FALSE(panel->isHidden());
    EXPECT_EQ(panel->lblTitle->text(), "您的连接不是私密连接");
    emit view(t)->RenderProcessGone();
    view(t)->finishLoad("http://b/", "B");
    EXPECT_TRUE(panel->isHidden());
}

TEST_F(PanelsTest, ParentalControlEndsStartUpWithItsMessageAndSavesNothing) {
    settings::Write(settings::Key::Parents, "1");
    settings::Write(settings::Key::Week1, "0");
    settings::Write(settings::Key::Week2, "4");
    settings::Write(settings::Key::Time1, "8");
    settings::Write(settings::Key::Time2, "17");
    platform.clock_.fixedNow = QDateTime(QDate(2026, 12, 9), QTime(17, 30));  // Wednesday
    const QByteArray config = ReadBytes(folder.file("config.ini"));
    const QByteArray form = ReadBytes(folder.file("数据/Form.ini"));
    {
        auto f = start();
        EXPECT_FALSE(loaded);
        EXPECT_FALSE(f->isVisible());
        EXPECT_FALSE(ui(f).tmrKey->isActive());
        EXPECT_TRUE(platform.views.isEmpty());  // no page was asked for
        ASSERT_EQ(platform.dialogs_.shown.size(), 1u);
        EXPECT_EQ(platform.dialogs_.shown[0].text, "在家长控制限定的时间内不能使用Telvano！");
        EXPECT_EQ(platform.dialogs_.shown[0].title, "家长控制");
    }
    EXPECT_EQ(ReadBytes(folder.file("config.ini")), config);
    EXPECT_EQ(ReadBytes(folder.file("数据/Form.ini")), form);

    settings::Write(settings::Key::UseMess, "1");
    settings::Write(settings::Key::Mess, "写作业去！");
    platform.dialogs_.shown.clear();
    start();
    EXPECT_EQ(platform.dialogs_.shown.at(0).text, "写作业去！");

    platform.clock_.fixedNow = QDateTime(QDate(2026, 12, 9), QTime(18, 0));
    platform.dialogs_.shown.clear();
    auto open = start();
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(platform.dialogs_.shown.empty());
}

// The add-bookmark dialog: the page's title selected for typing, Enter writes the file in the
// code page with CR LF, a second add replaces it, a failed write keeps the dialog open with
// the reason, a missing folder says so and writes nothing.
TEST_F(PanelsTest, TheBookmarkDialogWritesIntoTheFolderOrSaysWhyNot) {
    frmAddFav d(platform.dialogs_);
    d.show();
    d.Fill("新闻/体育", "http://a.cn/页");
    EXPECT_EQ(d.txtName->selectedText(), "新闻/体育");
    QTest::keyClick(d.txtName, Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const QString file = folder.file("书签/新闻_体育.zvb");
    EXPECT_EQ(ReadBytes(file), codepage::encode("http://a.cn/页") + "\r\n");
    d.Fill("新闻/体育", "http://b.cn/");
    d.cmdAdd->click();
    EXPECT_EQ(ReadBookmarkFile(file), "http://b.cn/");

    d.setResult(0);
    d.show();
    d.Fill(QString(300, 'x'), "http://c.cn/");  // too long a name for the file system
    d.cmdAdd->click();
    ASSERT_EQ(platform.dialogs_.shown.size(), 1u);
    EXPECT_TRUE(platform.dialogs_.shown[0].text.startsWith("书签保存失败："));
    EXPECT_GT(platform.dialogs_.shown[0].text.size(), QString("书签保存失败：").size());
    EXPECT_TRUE(d.isVisible());
    QTest::keyClick(d.txtName, Qt::Key_Escape);
    EXPECT_EQ(d.result(), QDialog::Rejected);

    QDir(folder.file("书签")).removeRecursively();
    platform.dialogs_.shown.clear();
    d.show();
    d.Fill("x", "http://x/");
    d.cmdAdd->click();
    ASSERT_EQ(platform.dialogs_.shown.size(), 1u);
    EXPECT_EQ(platform.dialogs_.shown[0].text, "书签文件夹丢失！");
    EXPECT_EQ(platform.dialogs_.shown[0].title, "错误");
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(QDir(folder.file("书签")).exists());
}

// The about box plays on its own timer; feedback opens the guestbook at any moment.
TEST_F(PanelsTest, TheAboutBoxPlaysAndItsButtonsWork) {
    frmAbout a(platform.desktop_);
    a.show();
    a.cmdResult->click();
    EXPECT_EQ(platform.desktop_.opened,
              QStringList{"http://www.olumetta.cn/gbook/index.asp?username=Orvex"});
    EXPECT_TRUE(waitFor([&] { return a.state().level > 5; }, 5000));
    for (int i = 0; i < 2000 && a.state().phase != about::Phase::Still; ++i) a.tick();
    EXPECT_EQ(a.state().phase, about::Phase::Still);
    a.Command1->click();
    EXPECT_FALSE(a.isVisible());
}
