// The frame's address box: go and search with what was typed, the list of addresses, and
// the suggestions from the history.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTest>
#include <QUrl>

#include "core/settings.h"
#include "platform/history.h"
#include "support/frametest.h"
#include "support/wait.h"

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
