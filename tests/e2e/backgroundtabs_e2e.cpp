// Tabs left behind, with real keys and clicks: what they give back while behind, and how they
// come back.
#include <QFile>

#include "support/inpute2e.h"

// Tabs left behind give back their views' images: nine handed over and shown in turn keep at
// most 2 MiB each in the browser process once they have been behind long enough; the first, a
// scrolled page with typed text, comes back with Ctrl+1 scrolled, with its text and its caret.
TEST_P(InputE2E, TabsLeftBehindGiveBackTheirImagesAndComeBackAsTheyWere) {
    if (!GetParam()) GTEST_SKIP() << "once is enough, on a desktop with a window manager";
    server.page("/form", "Form",
                "<div style='height:1500px'></div><input id=f autofocus style='width:100%;"
                "height:90vh'><div style='height:3000px'></div><script>f.oninput = () => "
                "document.title = scrollY + ':' + f.value;</script>");
    launch({server.url("/form")}, server.url("/form"));
    x.click(points().page());
    x.type("hello");
    for (const char *k : {"Left", "Left"}) x.key(k);
    QString title;
    auto titled = [&](const QString &end) {
        return waitFor([&] {
            for (const auto &[url, t] : session.pages())
                if (url.endsWith("/form") && t.endsWith(end)) return !(title = t).isEmpty();
            return false;
        });
    };
    ASSERT_TRUE(titled(":hello"));
    const QString scrolled = title.section(':', 0, 0);
    EXPECT_GT(scrolled.toInt(), 500);
    auto anonymous = [pid = browser->processId()] {
        QFile f(QString("/proc/%1/smaps_rollup").arg(pid));
        f.open(QIODevice::ReadOnly);
        const QByteArray all = f.readAll();
        const qsizetype at = all.indexOf("Anonymous:");
        return all.mid(at + 10, all.indexOf('\n', at) - at - 10)
            .trimmed()
            .split(' ')[0]
            .toLongLong();
    };
    const qint64 one = anonymous();  // KiB
    for (int i = 1; i <= 9; ++i) {
        const QString path = QString("/p%1").arg(i);
        server.page(path, path,  // the last two: one colour each
                    i < 8 ? "<p>" + QString("Some words of a page. ").repeated(400)
                          : QString("<body style='background:#%1'>").arg(i == 8 ? "f0f" : "0f0"));
        session.start({server.url(path)})->waitForFinished(30000);
        ASSERT_TRUE(waitFor([&] { return session.hasPage(server.url(path), path); }));
        QTest::qWait(500);  // shown
    }
    // A quick look back and forth is as before: the screen shows one page or the other,
    // never a blank or a shrunk frame between them.
    const QList<QColor> seen = WatchPixel(x, points().page(), [&] {
        for (int i = 0; i < 3; ++i)
            for (const char *k : {"ctrl+shift+Tab", "ctrl+Tab"}) x.key(k), QTest::qWait(150);
    });
    EXPECT_GE(seen.size(), 6);
    for (const QColor &c : seen)
        EXPECT_TRUE(c == kMagenta || c == QColor(0, 255, 0)) << c.name().toStdString();
    // A sanitized browser keeps what is freed aside for a while: no figure to judge there.
    const bool givenBack = waitFor([&] { return anonymous() - one <= 9 * 2048; }, 60000);
    if (!qEnvironmentVariableIsSet("ASAN_OPTIONS")) {
        EXPECT_TRUE(givenBack) << (anonymous() - one) / 9 << " KiB a tab";
    }
    x.key("ctrl+1");
    x.type("X");
    EXPECT_TRUE(titled(":helXlo"));
    EXPECT_EQ(title, scrolled + ":helXlo");
}
