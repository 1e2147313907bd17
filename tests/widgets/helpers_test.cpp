#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/qtdialogs.h"
#include "services/windowhelpers.h"
#include "shell/caretrest.h"
#include "support/wait.h"

TEST(WindowHelpersTest, TaskbarHeightAndSizeLimits) {
    QScreen *s = QGuiApplication::primaryScreen();
    ASSERT_NE(s, nullptr);
    const int h = TaskbarHeight();
    EXPECT_EQ(h, s->geometry().bottom() - s->availableGeometry().bottom());
    QWidget w;
    SetWindowSizeLimits(&w, 0, 0, 0, 0);  // 0 means the screen's size
    EXPECT_EQ(w.maximumSize(), s->size());
    SetWindowSizeLimits(&w, 100, 80, 640, 480);
    w.show();
    w.resize(2000, 10);
    EXPECT_EQ(w.size(), QSize(640, 80));
    EXPECT_EQ(w.minimumSize(), QSize(100, 80));
}

TEST(WindowHelpersTest, FileIcons) {
    QTemporaryDir dir;
    QFile f(dir.filePath("a.txt"));
    f.open(QIODevice::WriteOnly);
    f.write("x");
    f.close();
    SystemDesktop desktop;
    EXPECT_TRUE(IconToPicture(desktop.FileIcon(dir.filePath("missing.txt"))).isNull());
    EXPECT_TRUE(IconToPicture(QIcon()).isNull());
    QPixmap px(8, 8);
    px.fill(Qt::red);
    EXPECT_FALSE(IconToPicture(QIcon(px)).isNull());
}

TEST(DialogsTest, FiltersBecomeNameFilters) {
    EXPECT_EQ(QtNameFilter("所有文件|*.*"), "所有文件 (*)");
    EXPECT_EQ(QtNameFilter("图片|*.bmp;*.jpg|所有文件|*.*"), "图片 (*.bmp *.jpg);;所有文件 (*)");
}

// A question asked under the boss key's disguise shows only once the disguise is gone.
TEST(DialogsTest, AQuestionAskedUnderTheDisguiseWaitsForItsRelease) {
    QtDialogs dialogs;
    dialogs.hold(true);
    bool shownWhileHeld = false;
    QTimer::singleShot(300, &dialogs, [&] {
        shownWhileHeld = QApplication::activeModalWidget() != nullptr;
        dialogs.hold(false);
    });
    QTimer answer;  // "是" on the box, once released
    answer.callOnTimeout([&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && !dialogs.held()) box->button(QMessageBox::Yes)->click();
    });
    answer.start(20);
    EXPECT_EQ(dialogs.MsgBox(nullptr, "继续吗？", "问题", Dialogs::Question, Dialogs::YesNo),
              Dialogs::AnswerYes);
    EXPECT_FALSE(shownWhileHeld);
}

// Software compositing wherever OpenGL would only be Mesa's software rasteriser.
TEST(RendererTest, HardwareGlOnlyWithARenderNodeADriDisplayAndTheGpuOn) {
    EXPECT_EQ(ChooseRenderer({{}, true, true, false}), Renderer::Gl);
    EXPECT_EQ(ChooseRenderer({{}, false, true, false}), Renderer::Software);  // no render node
    EXPECT_EQ(ChooseRenderer({{}, true, false, false}), Renderer::Software);  // Xvfb, remote X
    EXPECT_EQ(ChooseRenderer({{}, true, true, true}), Renderer::Software);    // --disable-gpu
    EXPECT_EQ(ChooseRenderer({"gl", false, false, true}), Renderer::Gl);
    QString why;
    EXPECT_EQ(ChooseRenderer({"software", true, true, false}, &why), Renderer::Software);
    EXPECT_EQ(why, "asked for");
}

TEST(CaretRestTest, TheCaretStopsBlinkingAtRestAndBlinksAgainOnAKey) {
    QStyleHints *hints = QGuiApplication::styleHints();
    const int desktop = hints->cursorFlashTime();
    ASSERT_GT(desktop, 0);
    QLineEdit edit;
    {
        CaretRest caret(50);
        EXPECT_TRUE(waitFor([&] { return hints->cursorFlashTime() == 0; }, 2000));
        QTest::keyClick(&edit, Qt::Key_A);
        EXPECT_EQ(hints->cursorFlashTime(), desktop);
        EXPECT_TRUE(waitFor([&] { return hints->cursorFlashTime() == 0; }, 2000));
    }
    EXPECT_EQ(hints->cursorFlashTime(), desktop);  // gone at rest: the desktop's own again
}
