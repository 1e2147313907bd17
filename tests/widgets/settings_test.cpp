// The settings dialog and the skin chooser against a temporary program folder.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>

#include "core/base64.h"
#include "core/inifile.h"
#include "core/settings.h"
#include "core/store.h"
#include "settings/frmmore.h"
#include "settings/frmsetting.h"
#include "settings/frmtheme.h"
#include "shell/frameskin.h"
#include "shell/mdibrowser.h"
#include "support/fakeplatform.h"
#include "support/frameparts.h"
#include "support/testfolder.h"

namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { folder.useAsAppDir(); }
    QString config() const { return folder.file("config.ini"); }
    QString read(const char *key) const { return ReadIni("Setting", key, config()); }
    void write(const char *key, const QString &value) { WriteIni("Setting", key, value, config()); }
    std::unique_ptr<frmSetting> open() {
        auto f = std::make_unique<frmSetting>(
            platform, frmSetting::Colours{Qt::white, Qt::blue}, [this] { ++registered; }, nullptr);
        f->show();
        return f;
    }
    // The password typed, then Enter: true when that opened the pages.
    static bool unlock(frmSetting &f, const QString &password) {
        part<QLineEdit>(&f, "txtPsw")->setText(password);
        QTest::keyClick(part<QLineEdit>(&f, "txtPsw"), Qt::Key_Return);
        return !f.isLocked();
    }
    TestFolder folder;
    FakePlatform platform;
    int registered = 0;
};

// Keys in the stored order of a file written by Apply alone.
QStringList keyOrder(const QString &path) {
    QStringList keys;
    for (const QByteArray &line : ReadBytes(path).split('\n'))
        if (line.contains('=')) keys << QString::fromLatin1(line.left(line.indexOf('=')));
    return keys;
}

}  // namespace

// Every key loads into its control and comes back as stored; the exceptions are the
// stored forms' own rules.
TEST_F(SettingsTest, EveryKeyRoundTripsThroughItsControl) {
    const QList<QPair<const char *, QString>> stored = {
        {"HomePage", "http://example.org/家"},
        {"IEHomePage", "0"},
        {"OpenNav", "1"},
        {"OnOpen", "1"},
        {"Update", "1"},
        {"Unload", "0"},
        {"AutoSet", "1"},
        {"UseFilter", "1"},
        {"Filter", "011"},
        {"FilterText", "赌博;casino"},
        {"AutoDelete", "1"},
        {"SuperHide", "2"},
        {"SHCustom", "/no/such/picture.png"},  // kept, though it cannot be shown
        {"SHKey", "Q"},
        {"OpenPass", "1"},
        {"MinPass", "1"},
        {"Parents", "1"},
        {"Week1", "4"},
        {"Week2", "6"},
        {"Time1", "22"},
        {"Time2", "abc"},  // stored as typed
        {"UseMess", "1"},
        {"Mess", "该休息了"},
        {"Search", "2"},
        {"AutoDownload", "0"},
    };
    for (const auto &[key, value] : stored) write(key, value);
    write("PassWord", Base64Encode("pw"));
    auto f = open();
    ASSERT_TRUE(f->isLocked());
    QTest::keyClicks(part<QLineEdit>(f, "txtPsw"), "pw");
    EXPECT_TRUE(f->isLocked());
    QTest::keyClick(part<QLineEdit>(f, "txtPsw"),
                    Qt::Key_Return);  // the text before this key is "pw"
    ASSERT_FALSE(f->isLocked());
    EXPECT_TRUE(part<QLineEdit>(f, "txtPsw")->text().isEmpty());

    // Blank the file's values so that every one read back was written by Apply.
    for (const auto &[key, value] : stored) write(key, "");
    f->cmdApply_Click();
    for (const auto &[key, value] : stored) EXPECT_EQ(read(key), value) << key;
    EXPECT_EQ(read("PassWord"), Base64Encode("pw"));  // an empty new password keeps it

    // Dependent enabling as loaded, and as clicked.
    EXPECT_TRUE(part<QLineEdit>(f, "txtHome")->isEnabled());
    EXPECT_TRUE(part<QPlainTextEdit>(f, "txtFilter")->isEnabled());
    EXPECT_TRUE(part<QComboBox>(f, "cboWeek1")->isEnabled());
    part<QCheckBox>(f, "chkHome")->click();
    part<QCheckBox>(f, "chkUseF")->click();
    part<QCheckBox>(f, "chkOpenP")->click();
    EXPECT_FALSE(part<QLineEdit>(f, "txtHome")->isEnabled());
    EXPECT_FALSE(part<QCheckBox>(f, "chkFilter2")->isEnabled());
    EXPECT_FALSE(part<QPlainTextEdit>(f, "txtMess")->isEnabled());
    EXPECT_FALSE(part<QLineEdit>(f, "txtTime0")->isEnabled());
}

// Apply on a file holding none of the keys: the order and the forms written, and what a
// short, long, multi-line or missing value becomes.
TEST_F(SettingsTest, ApplyWritesInOrderAndInTheStoredForms) {
    WriteBytes(config(), "[Setting]\r\nFilter=1\r\nSHKey=k\r\nPassWord=cHc=\r\n");
    auto f = open();
    ASSERT_TRUE(unlock(*f, "pw"));
    EXPECT_TRUE(part<QCheckBox>(f, "chkFilter0")->isChecked());
    EXPECT_FALSE(part<QCheckBox>(f, "chkFilter1")->isChecked());
    EXPECT_TRUE(part<QCheckBox>(f, "chkAuto")->isChecked());  // absent: checked as laid out
    EXPECT_TRUE(part<QRadioButton>(f, "optOpen0")->isChecked());
    EXPECT_EQ(part<QComboBox>(f, "cboWeek0")->currentIndex(), -1);

    part<QPlainTextEdit>(f, "txtMess")->setPlainText("第一行\n第二行");
    part<QPushButton>(f, "cmdKey")->click();  // asked for a key, none pressed: SHKey stays
    const QString filterText = QString(200, QLatin1Char('x'));
    part<QPlainTextEdit>(f, "txtFilter")->setPlainText(filterText);
    // Parental control on with no last weekday: refused, said why, nothing written.
    part<QCheckBox>(f, "chkOpenP")->setChecked(true);
    EXPECT_FALSE(f->cmdApply_Click());
    EXPECT_EQ(platform.dialogs_.shown.back().title, "家长控制");
    EXPECT_EQ(read("Parents"), "");
    part<QCheckBox>(f, "chkOpenP")->setChecked(false);
    f->cmdApply_Click();
    EXPECT_EQ(read("Filter"), "100");
    EXPECT_EQ(read("Mess"), "第一行第二行");
    EXPECT_EQ(read("SHKey"), "k");
    EXPECT_EQ(read("PassWord"), "cHc=");
    EXPECT_EQ(read("Week1"), "-1");
    EXPECT_EQ(read("SuperHide"), "");  // no option chosen: nothing written
    EXPECT_EQ(read("Search"), "");
    EXPECT_EQ(read("AutoDownload"), "1");
    EXPECT_TRUE(ReadBytes(config()).contains(filterText.toLatin1()));  // written whole
    EXPECT_EQ(keyOrder(config()),
              QStringList({"Filter",    "SHKey",      "PassWord",   "HomePage",    "IEHomePage",
                           "OpenNav",   "OnOpen",     "Update",     "Unload",      "AutoSet",
                           "UseFilter", "FilterText", "AutoDelete", "SHCustom",    "OpenPass",
                           "MinPass",   "Parents",    "Week1",      "Week2",       "Time1",
                           "Time2",     "UseMess",    "Mess",       "AutoDownload"}));

    // The restore key as typed, case kept; a new password as its Base64.
    QTest::keyClick(part<QPushButton>(f, "cmdKey"), 'Q', Qt::ShiftModifier);
    EXPECT_EQ(part<QPushButton>(f, "cmdKey")->text(), "Q");
    part<QLineEdit>(f, "txtPass")->setText("新密码");
    f->cmdApply_Click();
    EXPECT_EQ(read("SHKey"), "Q");
    EXPECT_EQ(read("PassWord"), Base64Encode("新密码"));
    f.reset();

    // Next opening: the long text comes back cut, and the next Apply stores the cut text.
    auto g = open();
    EXPECT_EQ(part<QPlainTextEdit>(g, "txtFilter")->toPlainText(), filterText.left(127));
    EXPECT_FALSE(unlock(*g, "pw"));  // the old password opens it no more
    ASSERT_TRUE(unlock(*g, "新密码"));
    g->cmdApply_Click();
    EXPECT_EQ(read("FilterText"), filterText.left(127));

    // A password is stored only as long as the store reads it back whole: 93 bytes in the
    // code page (a Chinese character is two); one more is refused, with why, and nothing
    // is written.
    const QString ascii93(93, 'p'), chinese46(46, QChar(0x5BC6));
    for (const QString &longest : {ascii93, chinese46}) {
        part<QLineEdit>(g, "txtPass")->setText(longest);
        EXPECT_TRUE(g->cmdApply_Click());
        EXPECT_TRUE(PasswordMatches(longest, read("PassWord")));
        part<QLineEdit>(g, "txtPass")->setText(longest + longest.back());
        platform.dialogs_.shown.clear();
        EXPECT_FALSE(g->cmdApply_Click());
        ASSERT_EQ(platform.dialogs_.shown.size(), 1u);
        EXPECT_TRUE(platform.dialogs_.shown[0].text.contains("密码最长 93 个字节"));
        EXPECT_TRUE(PasswordMatches(longest, read("PassWord")));
    }
}

// A wrong password leaves it locked, and Enter there reaches no button behind the panel.
TEST_F(SettingsTest, AWrongPasswordKeepsItLockedAndWritesNothing) {
    write("PassWord", Base64Encode("secret"));
    write("Filter", "1");
    auto f = open();
    for (const char *typed : {"secre", "secrets", ""}) {
        part<QLineEdit>(f, "txtPsw")->setText(typed);
        QTest::keyClick(part<QLineEdit>(f, "txtPsw"), Qt::Key_Return);
        part<QPushButton>(f, "cmdPass")->click();
        EXPECT_TRUE(f->isLocked()) << typed;
    }
    EXPECT_EQ(read("Filter"), "1");
    EXPECT_TRUE(f->isVisible());
}

// The custom picture: a picture shows; a file that is none, or a first cancel, falls back
// to the first option; the stored path survives them all.
TEST_F(SettingsTest, TheCustomPictureChooser) {
    QImage red(300, 60, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString picture = folder.file("mine.png");
    ASSERT_TRUE(red.save(picture));
    WriteBytes(folder.file("not-a-picture.png"), "hello");
    platform.dialogs_.files = {"", folder.file("not-a-picture.png"), picture, ""};

    auto f = open();
    QTest::keyClick(part<QLineEdit>(f, "txtPsw"),
                    'x');  // no password stored: the first key opens it
    ASSERT_FALSE(f->isLocked());
    EXPECT_TRUE(part<QLineEdit>(f, "txtPsw")->text().isEmpty());
    part<QRadioButton>(f, "optSH3")->click();  // cancelled with nothing remembered
    EXPECT_TRUE(part<QRadioButton>(f, "optSH0")->isChecked());
    part<QRadioButton>(f, "optSH3")->click();  // no picture
    EXPECT_TRUE(part<QRadioButton>(f, "optSH0")->isChecked());
    EXPECT_TRUE(part<QLabel>(f, "imgCustom")->pixmap().isNull());
    part<QRadioButton>(f, "optSH3")->click();
    EXPECT_TRUE(part<QRadioButton>(f, "optSH3")->isChecked());
    EXPECT_FALSE(part<QLabel>(f, "imgCustom")->pixmap().isNull());
    EXPECT_LE(part<QLabel>(f, "imgCustom")->pixmap().width(),
              170);                            // a preview, not the picture's size
    part<QRadioButton>(f, "optSH3")->click();  // cancelled with one remembered: it stays
    EXPECT_TRUE(part<QRadioButton>(f, "optSH3")->isChecked());
    f->cmdApply_Click();
    EXPECT_EQ(read("SuperHide"), "3");
    EXPECT_EQ(read("SHCustom"), picture);
}

// The default browser button, and the profile clearing behind "更多设置".
TEST_F(SettingsTest, DefaultBrowserAndClearingTheProfile) {
    platform.desktop_.isDefault = true;
    EXPECT_FALSE(part<QPushButton>(open(), "cmdSetBrw")->isEnabled());
    platform.desktop_.isDefault = false;
    auto f = open();
    ASSERT_TRUE(part<QPushButton>(f, "cmdSetBrw")->isEnabled());
    part<QPushButton>(f, "cmdSetBrw")->click();
    EXPECT_EQ(registered, 1);
    EXPECT_FALSE(part<QPushButton>(f, "cmdSetBrw")->isEnabled());

    frmMore more(platform, nullptr);
    more.chkCookies->setChecked(true);
    more.cmdClear->click();
    EXPECT_EQ(platform.cleared, Platform::History | Platform::Cookies);
    ASSERT_FALSE(platform.dialogs_.shown.empty());
    EXPECT_EQ(platform.dialogs_.shown.back().text, "已清除：浏览历史记录、Cookie");
    frmMore none(platform, nullptr);
    none.chkHistory->setChecked(false);
    EXPECT_FALSE(none.cmdClear->isEnabled());
    EXPECT_EQ(none.txtTabs->value(), 0);  // absent: no number, memory decides
    none.txtTabs->setValue(6);
    EXPECT_EQ(settings::Text(settings::Key::TabsInMemory), "6");
}

// The chooser lists the skin folder's own .ini files; OK waits for a choice; a skin that
// fails keeps the old one, stored and worn, and the chooser stays open.
TEST_F(SettingsTest, TheSkinChooserAppliesOnlyWhatLoads) {
    QDir(folder.file("皮肤")).mkpath("sub");
    WriteBytes(folder.file("皮肤/sub/hidden.ini"), "[Color]\r\n");
    WriteBytes(folder.file("皮肤/readme.txt"), "");
    QByteArray broken = ReadBytes(folder.file("皮肤/默认.ini"));
    broken.replace("tb3=", "tbX=");
    WriteBytes(folder.file("皮肤/坏.ini"), broken);

    mdiBrowser frame(platform, QString());
    ASSERT_TRUE(frame.Load());
    const QString before = ReadIni("Theme", "Theme", config());
    auto *strip = frame.findChild<QTabBar *>("MDITabs");
    const QString blueStrip = strip->styleSheet();

    QStringList tried;
    frmTheme chooser(
        [&](const QString &name) {
            tried << name;
            return frame.findChild<FrameSkin *>()->tryOn(name);
        },
        &frame);
    QStringList listed;
    for (int i = 0; i < chooser.filTheme->count(); ++i) listed << chooser.filTheme->item(i)->text();
    EXPECT_EQ(listed, QStringList({"坏.ini", "暮色.ini", "翠绿.ini", "默认.ini"}));
    EXPECT_EQ(chooser.lblTFile->text(), before);
    EXPECT_FALSE(chooser.cmdOK->isEnabled());

    chooser.show();
    chooser.filTheme->setCurrentRow(0);
    chooser.cmdOK->click();
    EXPECT_EQ(tried, QStringList({"坏.ini"}));
    EXPECT_TRUE(chooser.isVisible());
    EXPECT_EQ(platform.dialogs_.shown.back().text,
              "皮肤文件 " + folder.file("皮肤/坏.ini") + " 无法载入，未更换皮肤。");
    EXPECT_EQ(ReadIni("Theme", "Theme", config()), before);
    EXPECT_EQ(strip->styleSheet(), blueStrip);

    chooser.filTheme->setCurrentRow(1);
    chooser.cmdOK->click();
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(ReadIni("Theme", "Theme", config()), "暮色.ini");
    EXPECT_NE(strip->styleSheet(), blueStrip);
}
