#pragma once
// The real-input harness: keys and clicks through the X server into the real program, on an
// X server of the test's own, once bare and once with a window manager (the parameter); what
// the user sees is read back from the engine, the X server, the screen and the files.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "core/base64.h"
#include "core/bookmarks.h"
#include "core/codepage.h"
#include "core/inifile.h"
#include "core/session.h"
#include "core/store.h"
#include "skins/colour.h"
#include "support/browsersession.h"
#include "support/httpserver.h"
#include "support/testfolder.h"
#include "support/wait.h"
#include "support/xsession.h"

inline const QColor kMagenta(255, 0, 255);
inline const QColor kFault(0xE0, 0x4A, 0x3F);  // a failed download's bar

class InputE2E : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x.ready()) << x.error().toStdString();
        server.page("/typed", "Typed page");
        server.page("/handed", "Handed page");
        server.page("/magenta", "Magenta", "<style>html,body{background:#ff00ff}</style>");
        setting("Unload", "0");
    }
    void TearDown() override {
        if (browser && browser->state() != QProcess::NotRunning) {
            browser->kill();
            browser->waitForFinished(5000);
        }
    }
    void setting(const char *key, const QString &value) {
        WriteIni("Setting", key, value, session.folder.file("config.ini"));
    }
    // Starts the browser and waits until its first page is there and the frame shows.
    void launch(const QStringList &args, const QString &firstUrl) {
        browser = session.start(args);
        ASSERT_FALSE(session.waitForFrame().isEmpty());
        ASSERT_TRUE(waitFor([&] { return pageOpen(firstUrl); }, 40000)) << firstUrl.toStdString();
        QTest::qWait(300);
    }
    bool pageOpen(const QString &urlStart) const {
        for (const auto &p : session.pages())
            if (p.first.startsWith(urlStart)) return true;
        return false;
    }
    // Typed over whatever the address box holds; Return after it when asked.
    void typeAddress(const QString &text, bool enter = true) {
        x.click(points().addressBox());
        x.key("ctrl+a");
        x.type(text);
        if (enter) x.key("Return");
    }
    QRect frameRect() const { return session.frameRect(); }
    ChromePoints points() const { return ChromePoints(frameRect()); }
    double magentaShare() const {
        return ShareOfColour(x.screenshot(), points().pageArea(), kMagenta);
    }

    XSession x{GetParam()};
    BrowserSession session{&x};
    TestHttpServer server;
    std::unique_ptr<QProcess> browser;
};
