// The settings behind their password, and skins switched live.
#include "support/inpute2e.h"

// "config" opens the settings behind the password, also when handed to a running browser;
// with no password one key opens them, a wrong one leaves them shut, and Alt+A applies.
TEST_P(InputE2E, TheSettingsOpenBehindThePasswordAndAltAApplies) {
    auto stored = [&](const char *key) {
        return ReadIni("Setting", key, session.folder.file("config.ini"));
    };
    auto settingsShown = [&] { return !x.windows("^程序设置$").isEmpty(); };
    setting("Filter", "1");  // Apply writes it back as three digits
    // Saved by an editor as UTF-8 with the byte-order mark: read so, and kept so.
    const QString config = session.folder.file("config.ini");
    WriteBytes(config, "\xEF\xBB\xBF" + codepage::decode(ReadBytes(config)).toUtf8());
    browser = session.start({"config"});
    ASSERT_TRUE(waitFor(settingsShown, 40000));
    QTest::qWait(500);
    EXPECT_TRUE(x.windows("^抱歉$").isEmpty());  // the skin's name read right
    x.type("x");
    x.key("alt+a");
    EXPECT_TRUE(waitFor([&] { return stored("Filter") == "100"; }, 5000));
    EXPECT_TRUE(ReadBytes(config).startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(ReadBytes(config).contains(QString("Theme=默认.ini").toUtf8()));
    x.key("alt+o");
    ASSERT_TRUE(waitFor([&] { return !settingsShown(); }, 5000));
    EXPECT_TRUE(session.pages().isEmpty());  // "config" opens no tab

    setting("Filter", "1");
    setting("PassWord", Base64Encode("pw"));
    auto later = session.start({"config"});
    EXPECT_TRUE(later->waitForFinished(20000));
    ASSERT_TRUE(waitFor(settingsShown, 20000));
    QTest::qWait(500);
    x.type("wrong");
    x.key("Return");
    x.key("alt+a");
    QTest::qWait(1000);
    EXPECT_EQ(stored("Filter"), "1");
    EXPECT_TRUE(settingsShown());
    x.key("ctrl+a");
    x.type("pw");
    x.key("Return");
    x.key("alt+a");
    EXPECT_TRUE(waitFor([&] { return stored("Filter") == "100"; }, 5000));
    x.key("Escape");
    EXPECT_TRUE(waitFor([&] { return !settingsShown(); }, 5000));
    EXPECT_EQ(browser->state(), QProcess::Running);
}

// The skin chooser from the menu, by keys and clicks: each shipped skin reaches the tab
// strip and the open tab's navigation page; a broken one is refused and changes nothing.
TEST_P(InputE2E, TheSkinChooserSwitchesSkinsLiveAndSurvivesABrokenOne) {
    QByteArray broken = ReadBytes(session.folder.file("皮肤/默认.ini"));
    broken.replace("tb3=", "tbX=");
    WriteBytes(session.folder.file("皮肤/坏.ini"), broken);
    setting("OpenNav", "1");
    launch({}, "file://");
    auto choose = [&](int row) -> QString {  // rows: 坏, 暮色, 翠绿, 默认
        x.click(points().menuButton());
        QTest::qWait(800);  // a single click waits out a possible double-click
        for (const char *k : {"Down", "Down", "Down", "Down", "Right", "Down", "Down", "Down"})
            x.key(k);
        x.key("Return");
        QString chooser;
        EXPECT_TRUE(waitFor(
            [&] { return !(chooser = x.windows("^皮肤管理器$").value(0)).isEmpty(); }, 10000));
        QTest::qWait(300);
        // Relative to the window itself: a window manager's frame moves it.
        x.xdo({"mousemove", "--window", chooser, "40", QString::number(55 + 18 * row)});
        x.xdo({"click", "1"});
        x.key("Return");
        return chooser;
    };
    auto wears = [&](const QString &skin) {
        const QString file = session.folder.file("皮肤/" + skin);
        const QColor bar = ColourFromBgr(*BgrFromText(ReadIni("Color", "clrBar", file)));
        const QColor page = ColourFromBgr(*BgrFromText(ReadIni("Color", "clrBG", file)));
        const QImage shot = x.screenshot();
        const QPoint strip = points().emptyTabStrip();
        return ShareOfColour(shot, QRect(strip, QSize(20, 6)), TabStripFor(bar).strip) > 0.9 &&
               ShareOfColour(shot, points().pageArea(), page) > 0.3;
    };
    ASSERT_TRUE(waitFor([&] { return wears("默认.ini"); }, 10000));
    for (const auto &[row, skin] : {std::pair{1, "暮色.ini"}, {2, "翠绿.ini"}, {3, "默认.ini"}}) {
        choose(row);
        const char *name = skin;  // a lambda may not capture a structured binding (C++17)
        EXPECT_TRUE(waitFor([&] { return wears(name); }, 5000)) << skin;
        EXPECT_EQ(ReadIni("Theme", "Theme", session.folder.file("config.ini")), skin);
    }
    choose(1);
    ASSERT_TRUE(waitFor([&] { return wears("暮色.ini"); }, 5000));
    const QString chooser = choose(0);
    ASSERT_TRUE(waitFor([&] { return !x.windows("^抱歉$").isEmpty(); }, 5000));
    QTest::qWait(500);
    x.key("Return");
    ASSERT_TRUE(waitFor([&] { return x.windows("^抱歉$").isEmpty(); }, 5000));
    ASSERT_FALSE(x.windows("^皮肤管理器$").isEmpty());  // still open for another choice
    const QRect size = x.geometry(chooser);
    x.xdo({"mousemove", "--window", chooser, QString::number(size.width() - 50),
           QString::number(size.height() - 24)});
    x.xdo({"click", "1"});  // 取消
    EXPECT_TRUE(waitFor([&] { return x.windows("^皮肤管理器$").isEmpty(); }, 5000));
    EXPECT_EQ(browser->state(), QProcess::Running);
    EXPECT_TRUE(wears("暮色.ini"));
    EXPECT_EQ(ReadIni("Theme", "Theme", session.folder.file("config.ini")), "暮色.ini");
}
