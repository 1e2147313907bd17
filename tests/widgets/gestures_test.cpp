#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QWindow>

#include "core/programfolder.h"
#include "core/store.h"
#include "shell/mdibrowser.h"
#include "support/fakeplatform.h"
#include "support/frameparts.h"
#include "support/testfolder.h"
#include "support/wait.h"
#include "tab/form1.h"
#include "tab/navpage.h"

namespace {

class GestureCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.useAsAppDir();
        WriteIni("Mouse", "Custom", "3", AppDir() + "config.ini");
        const QList<QPair<QString, QString>> entries{
            {"左", "/opt/first"}, {"下右上左下右", "/opt/loop"}, {"左", "/opt/second"}};
        for (int i = 0; i < entries.size(); ++i) {
            WriteIni("Mouse", QString("c%1").arg(i + 1), entries[i].first, AppDir() + "config.ini");
            WriteIni("Mouse", QString("m%1").arg(i + 1), entries[i].second,
                     AppDir() + "config.ini");
        }
        ASSERT_TRUE(f.Load());
    }
    FakeWebView *view() { return static_cast<FakeWebView *>(frontOf(f)->browser()); }
    TestFolder folder;
    FakePlatform platform;
    mdiBrowser f{platform, "http://a/"};
};

}  // namespace

TEST_F(GestureCommandTest, LeftHidesTheNavigationPageFirstAndAFailedBackEndsTheGesture) {
    Form1 *t = frontOf(f);
    if (navOf(t)->isHidden()) f.Execute(Command::NavigationPage);
    ASSERT_FALSE(navOf(t)->isHidden());
    view()->calls.clear();
    runGesture(f, "左");
    EXPECT_TRUE(navOf(t)->isHidden());
    EXPECT_FALSE(view()->calls.contains("GoBack"));
    EXPECT_TRUE(platform.desktop_.opened.isEmpty());  // it ends there
    runGesture(f, "左");                              // no history: nothing more
    EXPECT_TRUE(view()->calls.contains("GoBack"));
    EXPECT_TRUE(platform.desktop_.opened.isEmpty());
    view()->canGoBack = true;
    platform.desktop_.openSucceeds = false;
    runGesture(f, "左");  // both entries run, each failure said, in order
    EXPECT_EQ(platform.desktop_.opened, (QStringList{"/opt/first", "/opt/second"}));
    ASSERT_EQ(platform.dialogs_.shown.size(), 2u);
    EXPECT_EQ(platform.dialogs_.shown[1].text, "鼠标手势运行命令错误");
    EXPECT_EQ(platform.dialogs_.shown[1].title, "提示");
}

TEST_F(GestureCommandTest, NewTabNoticeLoopsAndNoTab) {
    const int tabs = f.tabs().size();
    runGesture(f, "下右");
    EXPECT_EQ(f.tabs().size(), tabs + 1);
    ASSERT_EQ(platform.dialogs_.shown.size(), 1u);
    EXPECT_EQ(platform.dialogs_.shown[0].text, "新窗口已开启");
    EXPECT_EQ(platform.dialogs_.shown[0].title, "鼠标手势");
    view()->calls.clear();
    runGesture(f, "下右上左下右");
    EXPECT_EQ(view()->calls.count("Refresh"), 2);
    EXPECT_EQ(platform.desktop_.opened, QStringList{"/opt/loop"});
    runGesture(f, "下左");
    EXPECT_EQ(f.tabs().size(), tabs);
    while (frontOf(f)) runGesture(f, "下左");
    runGesture(f, "下");  // no tab: nothing, quietly
    EXPECT_EQ(platform.dialogs_.shown.size(), 1u);
}

// The capture as the window system delivers a stroke: the press and the release never
// reach the widget under them, the label follows the stroke.
TEST_F(GestureCommandTest, AStrokeIsSwallowedShownAndRun) {
    f.show();
    QWidget *page = frontOf(f)->browser()->widget();
    int pressesSeen = 0;
    struct Counter : QObject {
        int *n;
        bool eventFilter(QObject *, QEvent *e) override {
            if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease)
                ++*n;
            return false;
        }
    } counter;
    counter.n = &pressesSeen;
    page->installEventFilter(&counter);
    QWindow *w = f.windowHandle();
    const QPoint start = page->mapTo(&f, page->rect().center());
    auto *label = f.findChild<QLabel *>("lblMouse");
    QTest::mousePress(w, Qt::MiddleButton, {}, start);
    for (int i = 1; i <= 6; ++i) QTest::mouseMove(w, start + QPoint(0, 10 * i));
    EXPECT_EQ(label->text(), "下");
    for (int i = 1; i <= 6; ++i) QTest::mouseMove(w, start + QPoint(10 * i, 60));
    EXPECT_EQ(label->text(), "右");
    QTest::mouseRelease(w, Qt::MiddleButton, {}, start + QPoint(60, 60));
    QTest::qWait(50);
    EXPECT_EQ(label->text(), "下右");
    EXPECT_EQ(label->toolTip(), "下右");
    EXPECT_EQ(pressesSeen, 0);
    EXPECT_EQ(platform.dialogs_.shown.size(), 1u);  // the new tab's notice
    // A plain click is no gesture: it reaches the page after all. Gestures off: at once.
    page = frontOf(f)->browser()->widget();
    page->installEventFilter(&counter);
    QTest::mouseClick(w, Qt::MiddleButton, {}, start);
    EXPECT_TRUE(waitFor([&] { return pressesSeen == 2; }, 1000));
    f.Execute(Command::ToggleGestures);
    QTest::mouseClick(w, Qt::MiddleButton, {}, page->mapTo(&f, page->rect().center()));
    EXPECT_EQ(pressesSeen, 4);
    EXPECT_EQ(label->text(), "关闭手势");
}
