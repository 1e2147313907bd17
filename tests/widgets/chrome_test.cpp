#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>
#include <QTest>

#include "core/settings.h"
#include "core/store.h"
#include "shell/addressbox.h"
#include "shell/captionbutton.h"
#include "shell/logoarea.h"
#include "shell/mdibrowser.h"
#include "shell/picturebutton.h"
#include "skins/colour.h"
#include "support/fakeplatform.h"
#include "support/frameparts.h"
#include "support/testfolder.h"
#include "support/xsession.h"
#include "tab/form1.h"
#include "tab/navpage.h"

namespace {

bool waitForMenu(QMenu *menu) {
    for (int i = 0; i < 50 && !menu->isVisible(); ++i) QTest::qWait(10);
    return menu->isVisible();
}

class ChromeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.useAsAppDir();
        settings::Write(settings::Key::Unload, "0");
    }
    std::unique_ptr<mdiBrowser> start(const QString &commandLine = "http://a/") {
        auto f = std::make_unique<mdiBrowser>(platform, commandLine);
        loaded = f->Load();
        return f;
    }
    QString skin() const { return folder.file("皮肤/默认.ini"); }
    FakeWebView *view(Form1 *t) { return static_cast<FakeWebView *>(t->browser()); }
    // The shipped skin itself fails: the same skin built into the program starts, said so.
    void expectBuiltInSkin() {
        auto f = start();
        EXPECT_TRUE(loaded);
        ASSERT_EQ(platform.dialogs_.shown.size(), 1u);
        EXPECT_EQ(platform.dialogs_.shown[0].text,
                  "皮肤文件 " + skin() + " 无法载入，已改用默认皮肤。");
        EXPECT_EQ(ui(f).picToolBar->palette().color(QPalette::Window),
                  ColourFromBgr(16242879));  // the default's
        EXPECT_FALSE(ui(f).imgBG->pixmap().isNull());
        EXPECT_EQ(f->tabs().size(), 1);
    }
    TestFolder folder;
    FakePlatform platform;
    bool loaded = false;
};

}  // namespace

TEST_F(ChromeTest, EveryShippedSkinAppliesWithItsColoursAndPositions) {
    for (const char *name : {"默认.ini", "翠绿.ini", "暮色.ini"}) {
        settings::Write(settings::Key::Theme, QString::fromUtf8(name));
        platform.dialogs_.shown.clear();
        auto f = start();
        ASSERT_TRUE(loaded) << name;
        const QString file = folder.file(QString("皮肤/") + QString::fromUtf8(name));
        const QColor bar = ColourFromBgr(*BgrFromText(ReadIni("Color", "clrBar", file)));
        EXPECT_EQ(ui(f).picToolBar->palette().color(QPalette::Window), bar) << name;
        EXPECT_EQ(ui(f).picStaBar->palette().color(QPalette::Window), bar);
        EXPECT_EQ(ui(f).lblPro->palette().color(QPalette::Window),
                  ColourFromBgr(*BgrFromText(ReadIni("Color", "clrBG", file))));
        // 30-pixel pictures: buttons of 450 twips, the address box at 1440.
        EXPECT_EQ(ui(f).picTBtn[2]->pos(), QPoint(60, 5));
        EXPECT_EQ(ui(f).picTBtn[3]->pos(), ui(f).picTBtn[2]->pos());
        EXPECT_EQ(ui(f).cboAddress->x(), 96);
        EXPECT_EQ(ui(f).cboAddress->geometry().bottom(), ui(f).picToolBar->height() - 1);
        EXPECT_FALSE(ui(f).imgBG->pixmap().isNull());
        EXPECT_TRUE(platform.dialogs_.shown.empty());
        // The navigation page's "导航" reads on the page in every skin.
        f->Execute(Command::NavigationPage);
        const NavPage *nav = navOf(frontOf(*f));
        ASSERT_TRUE(nav->isVisible());
        EXPECT_GE(ContrastRatio(nav->lblShow0->palette().color(QPalette::WindowText),
                                nav->palette().color(QPalette::Window)),
                  3.0)
            << name;
    }
}

TEST_F(ChromeTest, APureRedToolbarAndNoBackgroundPicture) {
    WriteIni("Color", "clrBar", "255", skin());
    WriteIni("Pics", "bg_t", "", skin());
    auto f = start();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(ui(f).picToolBar->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_TRUE(ui(f).imgBG->pixmap().isNull());
    EXPECT_TRUE(ui(f).picLogo->background.isNull());
    EXPECT_FALSE(f->testAttribute(Qt::WA_TranslucentBackground));
    // Glass where the desktop can show it and the skin asks for it.
    platform.desktop_.glass = true;
    WriteIni("Color", "Aero", "1", skin());
    f.reset();
    f = start();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(f->testAttribute(Qt::WA_TranslucentBackground));
}

// The shipped skin missing a key, with a colour that is no number, a picture that will not
// load, or gone with the whole skin folder: the same skin built into the program starts.
TEST_F(ChromeTest, AShippedSkinThatFailsGivesWayToTheBuiltInOne) {
    const QByteArray text = ReadBytes(skin());
    const std::function<void()> faults[] = {
        [&] { WriteBytes(skin(), QByteArray(text).replace("tb3=tb3.png\r\n", "")); },
        [&] {
            WriteBytes(skin(), text);
            WriteIni("Color", "clrLogo", "blue", skin());
        },
        [&] {
            WriteBytes(skin(), text);
            WriteBytes(folder.file("皮肤/默认/tb2.png"), "not a picture");
        },
        [&] { QDir(folder.file("皮肤")).removeRecursively(); },
    };
    for (const auto &fault : faults) {
        fault();
        platform.dialogs_.shown.clear();
        expectBuiltInSkin();
    }
}

// A chosen skin that is missing or damaged gives way to the shipped one for this run, said
// with the file's name; "Theme" stays as the user set it.
TEST_F(ChromeTest, AChosenSkinThatFailsFallsBackToTheDefault) {
    WriteBytes(folder.file("皮肤/坏.ini"), ReadBytes(skin()).replace("clrLogo=", "clrLogo=blue"));
    for (const char *name : {"没有这个.ini", "坏.ini"}) {
        settings::Write(settings::Key::Theme, QString::fromUtf8(name));
        platform.dialogs_.shown.clear();
        auto f = start();
        EXPECT_TRUE(loaded) << name;
        ASSERT_EQ(platform.dialogs_.shown.size(), 1u);
        EXPECT_EQ(
            platform.dialogs_.shown[0].text,
            "皮肤文件 " + folder.file(QString("皮肤/") + name) + " 无法载入，已改用默认皮肤。");
        EXPECT_EQ(platform.dialogs_.shown[0].title, "抱歉");
        EXPECT_EQ(settings::Text(settings::Key::Theme), QString::fromUtf8(name));
        EXPECT_EQ(f->tabs().size(), 1);
    }
}

TEST_F(ChromeTest, LayoutFollowsEveryResize) {
    auto f = start();
    f->showNormal();
    for (int width : {700, 1000, 1400}) {
        f->resize(width, 600);
        QApplication::processEvents();
        // The address box ends where the logo area begins; the logo overhangs the right edge.
        EXPECT_NEAR(ui(f).cboAddress->geometry().right() + 1, ui(f).picLogo->x(), 2) << width;
        EXPECT_NEAR(ui(f).picLogo->geometry().right() + 1, ui(f).picToolBar->width() + 6, 2);
        EXPECT_EQ(ui(f).lblZoom->geometry().right() + 1, ui(f).picStaBar->width());
        EXPECT_EQ(ui(f).lblMouse->geometry().right() + 1, ui(f).lblZoom->x());
        EXPECT_FALSE(ui(f).lblPro->isVisible());
    }
    // Too narrow for an address box: its last width stays.
    const int before = ui(f).cboAddress->width();
    f->resize(200, 600);
    QApplication::processEvents();
    ASSERT_LT(ui(f).picToolBar->width(), 280);
    EXPECT_EQ(ui(f).cboAddress->width(), before);
}

TEST_F(ChromeTest, ProgressShowsOnlyForTheActiveTabAndWhenSwitchedOn) {
    auto f = start();
    f->resize(1000, 600);
    QApplication::processEvents();
    Form1 *t = frontOf(*f);
    emit t->browser()->ProgressChange(50, 100);
    EXPECT_TRUE(ui(f).lblPro->isVisible());
    EXPECT_NEAR(ui(f).lblPro->width(), ui(f).cboAddress->width() / 2, 2);
    emit t->browser()->ProgressChange(100, 100);
    EXPECT_FALSE(ui(f).lblPro->isVisible());  // full width: hidden
    ui(f).action("mnuDis1")->trigger();       // "载入进度" off
    EXPECT_EQ(settings::Text(settings::Key::PrBar), "0");
    emit t->browser()->ProgressChange(30, 100);
    EXPECT_FALSE(ui(f).lblPro->isVisible());
    ui(f).action("mnuDis0")->trigger();  // "状态栏" off
    EXPECT_FALSE(ui(f).picStaBar->isVisible());
    EXPECT_EQ(settings::Text(settings::Key::StBar), "0");
    f.reset();
    auto again = start();
    again->show();
    EXPECT_FALSE(ui(again).picStaBar->isVisible());
    EXPECT_FALSE(ui(again).action("mnuDis0")->isChecked());
    EXPECT_FALSE(ui(again).action("mnuDis1")->isChecked());
    ui(again).action("mnuDis0")->trigger();
    EXPECT_EQ(settings::Text(settings::Key::StBar), "1");
    EXPECT_TRUE(ui(again).picStaBar->isVisible());
}

TEST_F(ChromeTest, TheZoomLabelStepsWithinItsLimits) {
    auto f = start();
    auto click = [&](Qt::MouseButton b) { QTest::mouseClick(ui(f).lblZoom, b); };
    settings::Write(settings::Key::Zoom, "100");
    click(Qt::LeftButton);
    EXPECT_EQ(zoomOf(*f), 150);
    EXPECT_EQ(ui(f).lblZoom->text(), "150 %");
    EXPECT_EQ(settings::Text(settings::Key::Zoom), "150");
    EXPECT_EQ(view(frontOf(*f))->zoomText, "150%");
    for (int i = 0; i < 10; ++i) click(Qt::LeftButton);
    EXPECT_EQ(zoomOf(*f), 400);
    click(Qt::MiddleButton);
    EXPECT_EQ(zoomOf(*f), 100);
    for (int i = 0; i < 5; ++i) click(Qt::RightButton);
    EXPECT_EQ(zoomOf(*f), 50);
    // Off the grid it moves in steps of 50 and does not stop at the ends.
    settings::Write(settings::Key::Zoom, "420");
    view(frontOf(*f))->finishLoad("http://a/", "a");
    click(Qt::LeftButton);
    EXPECT_EQ(zoomOf(*f), 470);
    // Without a tab the label does nothing.
    f->Execute(Command::CloseTab);
    click(Qt::LeftButton);
    EXPECT_EQ(zoomOf(*f), 470);
}

// Files dropped on the box or the strip open a tab each; a link or text dropped on the box
// is entered there, on the strip it opens in the tab it falls on (not a locked one) or in a
// new tab where it falls; a tab dragged along keeps its caption.
TEST_F(ChromeTest, DropsOnTheBoxAndTheStripAndATabDraggedAlong) {
    QFile bm(folder.file("书签/站点.zvb"));
    ASSERT_TRUE(bm.open(QIODevice::WriteOnly));
    bm.write("http://bookmarked/\r\n");
    bm.close();
    auto f = start();
    f->show();
    const QList<QUrl> files = {QUrl::fromLocalFile("/tmp/a.html"),
                               QUrl::fromLocalFile(folder.file("书签/站点.zvb")),
                               QUrl::fromLocalFile("/tmp/b.txt")};
    QLineEdit *box = ui(f).cboAddress->lineEdit();
    QTabBar *strip = ui(f).MDITabs;
    auto dropOn = [](QWidget *target, QPoint at, const QString &text, const QList<QUrl> &urls) {
        QMimeData data;
        data.setText(text);
        if (!urls.isEmpty()) data.setUrls(urls);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    };
    dropOn(box, {5, 5}, {}, files);
    ASSERT_EQ(f->tabs().size(), 4);
    EXPECT_EQ(view(f->tabs()[1])->calls, QStringList{"Navigate /tmp/a.html"});
    EXPECT_EQ(view(f->tabs()[2])->calls, QStringList{"Navigate http://bookmarked/"});
    EXPECT_EQ(view(f->tabs()[3])->calls, QStringList{"Navigate /tmp/b.txt"});
    f->tabs()[2]->setLocked(true);
    // Where it falls: -1 past the last tab, -2 the second tab's left edge, else a tab's middle.
    const struct {
        QWidget *on;
        int place;
        QString text;
        QList<QUrl> urls;
        int tabs, front, checked;
        QString called;
    } drops[] = {
        {box, 0, "c++ & qt", {}, 4, 3, 3, "Navigate https://www.baidu.com/s?wd=c%2B%2B%20%26%20qt"},
        {strip, -1, "l", {QUrl("http://link/")}, 5, 4, 4, "Navigate http://link/"},
        {strip, 0, " http://onto/\n", {}, 5, 0, 0, "Navigate http://onto/"},
        {strip, -2, "http://between/", {}, 6, 1, 1, "Navigate http://between/"},
        {strip, 2, {}, files, 9, 8, 8, "Navigate /tmp/b.txt"},
        {strip, 3, "http://locked/", {}, 9, 8, 3, "Navigate http://bookmarked/"},
    };
    for (const auto &d : drops) {
        const QRect tab = strip->tabRect(d.place < 0 ? 1 : d.place);
        dropOn(d.on,
               d.on == box     ? QPoint(5, 5)
               : d.place == -1 ? QPoint(strip->width() - 5, 5)
               : d.place == -2 ? tab.topLeft() + QPoint(2, 5)
                               : tab.center(),
               d.text, d.urls);
        ASSERT_EQ(f->tabs().size(), d.tabs) << d.called.toStdString();
        EXPECT_EQ(frontOf(*f), f->tabs()[d.front]) << d.called.toStdString();
        EXPECT_EQ(view(f->tabs()[d.checked])->calls.last(), d.called);
    }
    EXPECT_EQ(ui(f).lblSta->text(), "此选项卡已锁定");  // the drop onto the locked tab
    // Dragged along, a tab keeps its caption on its moving picture.
    const QPoint from = strip->tabRect(4).center();
    QTest::mousePress(strip, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 8; ++step) QTest::mouseMove(strip, from + QPoint(step * 12, 0));
    QWidget *moving = nullptr;
    for (QWidget *w : strip->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (w->metaObject() == &QWidget::staticMetaObject && w->isVisible()) moving = w;
    ASSERT_TRUE(moving);
    EXPECT_GT(ShareOfColour(moving->grab().toImage(), moving->rect(), QColor(30, 40, 60)), 0.005);
    QTest::mouseRelease(strip, Qt::LeftButton, {}, from + QPoint(96, 0));

    QStringList many;
    for (int i = 0; i < 120; ++i) many << QString("/tmp/f%1").arg(i);
    f->DropFiles(many);
    EXPECT_EQ(f->tabs().size(), 109);
    // A tab's close button: a press let go elsewhere closes nothing; a click closes that tab
    // and leaves the front one in front.
    Form1 *front = frontOf(*f);
    const QRect tab = strip->tabRect(strip->currentIndex() - 1);
    const QPoint close(tab.right() - 12, tab.center().y()), off = close - QPoint(40, 0);
    QTest::mousePress(strip, Qt::LeftButton, {}, close);
    QTest::mouseMove(strip, off);
    QTest::mouseRelease(strip, Qt::LeftButton, {}, off);
    EXPECT_EQ(f->tabs().size(), 109);
    QTest::mouseClick(strip, Qt::LeftButton, {}, close);
    EXPECT_EQ(f->tabs().size(), 108);
    EXPECT_EQ(frontOf(*f), front);
}

TEST_F(ChromeTest, MenuButtonOpensTheMenuAndItsDoubleClickTogglesTheNavigationPage) {
    auto f = start();
    f->show();
    Form1 *t = frontOf(*f);
    ASSERT_FALSE(navOf(t)->isVisible());
    EXPECT_FALSE(ui(f).picTBtn[0]->isEnabled());  // a new tab has nowhere to go back to
    QTest::mouseDClick(ui(f).picTBtn[4], Qt::LeftButton);
    EXPECT_TRUE(navOf(t)->isVisible());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    EXPECT_FALSE(ui(f).mnuMenu->isVisible());  // the double-click does not also open the menu
    QTest::mouseDClick(ui(f).picTBtn[4], Qt::LeftButton);
    EXPECT_FALSE(navOf(t)->isVisible());
    QTest::mouseClick(ui(f).picTBtn[4], Qt::LeftButton);
    EXPECT_TRUE(waitForMenu(ui(f).mnuMenu));
    ui(f).mnuMenu->close();
    // "后退" on the navigation page leaves it instead of going back.
    navOf(t)->show();
    QTest::mouseClick(ui(f).picTBtn[0], Qt::LeftButton);
    EXPECT_FALSE(navOf(t)->isVisible());
    EXPECT_FALSE(view(t)->calls.contains("GoBack"));
    EXPECT_FALSE(ui(f).picTBtn[0]->isEnabled());  // no history: greyed out
    view(t)->canGoBack = true;
    emit view(t)->HistoryChange();
    ASSERT_TRUE(ui(f).picTBtn[0]->isEnabled());
    QTest::mouseClick(ui(f).picTBtn[0], Qt::LeftButton);
    EXPECT_TRUE(view(t)->calls.contains("GoBack"));
}

TEST_F(ChromeTest, ButtonsShowTheirPressedPicture) {
    auto f = start();
    f->show();
    view(frontOf(*f))->canGoBack = true;  // back has somewhere to go: it takes the press
    emit view(frontOf(*f))->HistoryChange();
    const QImage normal = ui(f).picTBtn[0]->picture().toImage();
    QTest::mousePress(ui(f).picTBtn[0], Qt::LeftButton);
    const QImage pressed = ui(f).picTBtn[0]->picture().toImage();
    EXPECT_NE(pressed, normal);
    EXPECT_EQ(pressed, QImage(folder.file("皮肤/默认/tb1_.png")).convertToFormat(pressed.format()));
    QTest::mouseRelease(ui(f).picTBtn[0], Qt::LeftButton);
    EXPECT_EQ(ui(f).picTBtn[0]->picture().toImage(), normal);
    // Stop brings refresh to the front.
    emit view(frontOf(*f))->NavigateComplete2("http://a/");  // a load starts: stop in front
    QTest::mouseClick(ui(f).picTBtn[2], Qt::LeftButton);
    EXPECT_TRUE(view(frontOf(*f))->calls.contains("Stop"));
    EXPECT_EQ(ui(f).picToolBar->childAt(ui(f).picTBtn[3]->geometry().center()), ui(f).picTBtn[3]);
}

TEST_F(ChromeTest, TheToolbarMovesAndMaximisesTheFrameButNotFromTheAddressBox) {
    auto f = start();
    f->showNormal();
    f->move(100, 100);
    QApplication::processEvents();
    const QPoint before = f->pos();
    QTest::mousePress(ui(f).imgBG, Qt::LeftButton, {}, QPoint(20, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(60, 25), ui(f).imgBG->mapToGlobal(QPointF(60, 25)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ui(f).imgBG, &move);
    QTest::mouseRelease(ui(f).imgBG, Qt::LeftButton, {}, QPoint(60, 25));
    EXPECT_EQ(f->pos(), before + QPoint(40, 20));

    const QPoint still = f->pos();
    QMouseEvent onBox(QEvent::MouseMove, QPointF(30, 5),
                      ui(f).cboAddress->mapToGlobal(QPointF(30, 5)), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(ui(f).cboAddress, &onBox);
    EXPECT_EQ(f->pos(), still);

    QTest::mouseDClick(ui(f).imgBG, Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_TRUE(f->isMaximized());
    QTest::mouseDClick(ui(f).imgBG, Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_FALSE(f->isMaximized());
    ui(f).picCtl[1]->click();
    EXPECT_TRUE(f->isMaximized());
    ui(f).picCtl[1]->click();
    EXPECT_FALSE(f->isMaximized());
    ui(f).picCtl[2]->click();
    EXPECT_TRUE(f->isMinimized());
    f->showNormal();
    EXPECT_EQ(ui(f).picCtl[0]->toolTip(), "关闭");
    EXPECT_EQ(ui(f).picCtl[0]->backColour(), QColor(0xC0, 0, 0));
    QTest::mousePress(ui(f).picCtl[0], Qt::LeftButton);
    EXPECT_EQ(ui(f).picCtl[0]->backColour(), QColor(0xC0, 0xC0, 0xC0));
    QTest::mouseRelease(ui(f).picCtl[0], Qt::LeftButton);  // a click: the frame closes
    EXPECT_FALSE(f->isVisible());
}

TEST_F(ChromeTest, RightClickOnTheChromeOpensTheManageMenu) {
    auto f = start();
    f->show();
    for (QWidget *w : {static_cast<QWidget *>(ui(f).imgBG), static_cast<QWidget *>(ui(f).imgStaBG),
                       static_cast<QWidget *>(ui(f).picLogo)}) {
        QTest::mouseClick(w, Qt::RightButton, {}, QPoint(2, 2));
        EXPECT_TRUE(waitForMenu(ui(f).mnuM)) << w->objectName().toStdString();
        ui(f).mnuM->close();
    }
}

// Suggestions are answered later than asked: an answer for text the box no longer holds,
// typed over or replaced by another tab's address, shows nothing.
TEST(AddressBoxTest, AnAnswerForTextNoLongerInTheBoxShowsNothing) {
    QWidget window;
    auto *box = new AddressBox(&window);
    box->setSuggestionSource([](const QString &) {});
    window.show();
    auto *popup = box->findChild<QListWidget *>("lstSuggest");
    ASSERT_NE(popup, nullptr);
    auto shown = [&] { return popup->isVisible() ? popup->count() : 0; };
    const QList<Suggestion> found{{"https://qt.example/", "Qt", false}};
    QTest::keyClicks(box->lineEdit(), "qt");
    box->showSuggestions("q", found);
    EXPECT_EQ(shown(), 0);
    box->showAddress("https://other.example/");
    box->showSuggestions("qt", found);
    EXPECT_EQ(shown(), 0);
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), "qt");
    box->showSuggestions("qt", found);
    EXPECT_EQ(shown(), 1);
}
