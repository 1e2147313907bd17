#pragma once
// The habits harness: real keys and clicks through the X server into the real program, with a
// window manager, on pages of a loopback server; one-colour pages to tell what is shown.
#include <gtest/gtest.h>

#include <QColor>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <memory>

#include "support/browsersession.h"
#include "support/httpserver.h"
#include "support/wait.h"
#include "support/xsession.h"

class HabitsE2E : public ::testing::Test {
  protected:
    static inline const QColor kMagenta{255, 0, 255}, kCyan{0, 255, 255}, kRed{255, 0, 0};

    static QString coloured(const QColor &c) {
        return QString("<style>html,body{background:%1;height:100%;margin:0}</style>")
            .arg(c.name());
    }
    void SetUp() override {
        ASSERT_TRUE(x.ready()) << x.error().toStdString();
        server.page("/magenta", "Magenta", coloured(kMagenta));
        server.page("/cyan", "Cyan", coloured(kCyan));
        server.page("/typed", "Typed", coloured(kMagenta));
    }
    void TearDown() override {
        if (browser && browser->state() != QProcess::NotRunning) {
            browser->kill();
            browser->waitForFinished(5000);
        }
    }
    void launch(const QString &url, const QProcessEnvironment &extra = {}) {
        QProcessEnvironment env = session.env();
        env.insert(extra);
        browser = std::make_unique<QProcess>();
        browser->setProcessEnvironment(env);
        browser->setProgram(session.folder.binary());
        browser->setArguments({url});
        browser->setWorkingDirectory(session.folder.path());
        browser->start();
        ASSERT_FALSE(session.waitForFrame().isEmpty());
        ASSERT_TRUE(waitFor([&] { return open(url); }, 40000)) << url.toStdString();
        QTest::qWait(500);
    }
    bool open(const QString &urlStart) const {
        for (const auto &p : session.pages())
            if (p.first.startsWith(urlStart)) return true;
        return false;
    }
    bool titled(const QString &title) const {
        for (const auto &p : session.pages())
            if (p.second == title) return true;
        return false;
    }
    ChromePoints points() const { return ChromePoints(session.frameRect()); }
    double share(const QColor &c) const {
        return ShareOfColour(x.screenshot(), points().pageArea(), c);
    }

    XSession x{true};
    BrowserSession session{&x};
    TestHttpServer server;
    std::unique_ptr<QProcess> browser;
};
