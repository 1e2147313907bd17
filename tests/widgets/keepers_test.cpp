// The frame's recorders on their own, on the fake platform: the history and the session hear of
// a tab only when it keeps a trace, and keep their own rules for the rest.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "platform/history.h"
#include "shell/historykeeper.h"
#include "shell/sessionkeeper.h"
#include "shell/tabset.h"
#include "support/fakeplatform.h"
#include "support/testfolder.h"

namespace {

FakeWebView *view(Form1 *t) {
    return static_cast<FakeWebView *>(t->browser());
}

TEST(KeepersTest, APrivateTabReachesNoRecorderAndTheOthersRulesHold) {
    TestFolder folder;
    folder.useAsAppDir();
    FakePlatform platform;
    QWidget frame;
    TabSet tabs(platform, nullptr, &frame);
    HistoryKeeper history(platform, &tabs, nullptr);
    history.open(folder.file("数据/history.sqlite"));
    SessionKeeper session(
        &tabs, [] { return QString(); }, nullptr);
    session.begin();
    QList<Form1 *> heard;
    for (auto recorded :
         {&TabSet::Visited, &TabSet::Retitled, &TabSet::IconChanged, &TabSet::KeptClosing})
        QObject::connect(&tabs, recorded, [&](Form1 *t) { heard << t; });

    Form1 *open = tabs.create();
    Form1 *hidden = tabs.create(true, std::nullopt, true);
    view(hidden)->finishLoad("http://secret/", "Secret");
    emit view(hidden)->IconChange(QIcon(QPixmap(16, 16)));
    EXPECT_TRUE(heard.isEmpty());
    view(open)->finishLoad("http://open/", "Open");
    EXPECT_TRUE(heard.contains(open));
    // A locked tab is heard of (the session keeps it) but lists nothing; a restored page is no
    // new visit.
    Form1 *locked = tabs.create(true);
    locked->setLocked(true);
    view(locked)->finishLoad("http://locked/", "Locked");
    EXPECT_TRUE(heard.contains(locked));
    tabs.restore({SessionTab{"http://restored/", "Restored", {}}}, 0);
    view(tabs.active())->finishLoad("http://restored/", "Restored");
    session.finish(false);
    const auto kept = ReadSessionFile(folder.file("数据/session.dat"), qVersion());
    ASSERT_TRUE(kept);
    QStringList urls;
    for (const SessionTab &t : kept->tabs) urls << t.url;
    EXPECT_EQ(urls, (QStringList{"http://open/", "http://locked/", "http://restored/"}));
    tabs.close(hidden);
    EXPECT_FALSE(heard.contains(hidden));
    tabs.close(open);
    EXPECT_TRUE(heard.contains(open));
    platform.history().Flush();
    const QList<Visit> visits = platform.history().Visits();
    ASSERT_EQ(visits.size(), 1);
    EXPECT_EQ(visits[0].url, "http://open/");
}

}  // namespace
