#include "shell/commandline.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include "core/search.h"
#include "core/suggest.h"

TEST(CommandLineTest, WordsAddressesAndBookmarks) {
    EXPECT_EQ(ParseCommandLine("").kind, StartCommand::Empty);
    EXPECT_EQ(ParseCommandLine("PASSWORD").kind, StartCommand::Password);
    EXPECT_EQ(ParseCommandLine("Config").kind, StartCommand::Config);
    auto open = ParseCommandLine("\"http://a.cn/x\"");
    EXPECT_EQ(open.kind, StartCommand::Open);
    EXPECT_EQ(open.address, "http://a.cn/x");
    EXPECT_EQ(ParseCommandLine("\"%1\"").address, "");  // an unexpanded shell placeholder
    EXPECT_EQ(ParseCommandLine("config now").address, "config now");

    QTemporaryDir dir;
    const QString bm = dir.filePath("站点.zvb");
    QFile f(bm);
    f.open(QIODevice::WriteOnly);
    f.write("http://bookmarked/\r\n");
    f.close();
    EXPECT_EQ(ParseCommandLine(bm).address, "http://bookmarked/");
    // As the desktop may hand it over: a file: address.
    EXPECT_EQ(ParseCommandLine(QUrl::fromLocalFile(bm).toString()).address, "http://bookmarked/");
    EXPECT_EQ(HandOffCommand(QUrl::fromLocalFile(bm).toString()), "DDEOpenhttp://bookmarked/");
    // In quotes it no longer ends in .zvb and is taken as an address.
    EXPECT_EQ(ParseCommandLine("\"" + bm + "\"").address, bm);
}

TEST(CommandLineTest, HandOffCommandsBothWays) {
    EXPECT_EQ(HandOffCommand(""), "OpenNew");
    EXPECT_EQ(HandOffCommand("password"), "DDEOpenpassword");  // words only count at first start
    EXPECT_EQ(HandOffCommand("\"http://x/%1\""), "DDEOpenhttp://x/");
    HandOff h = ParseHandOff("DDEOpen\"http://a/\"");
    EXPECT_EQ(h.kind, HandOff::Open);
    EXPECT_EQ(h.address, "http://a/");
    EXPECT_EQ(ParseHandOff("OpenNew").kind, HandOff::OpenNew);
    // A later "config" asks the running browser for its settings, not for a page.
    EXPECT_EQ(ParseHandOff(HandOffCommand("CONFIG")).kind, HandOff::Config);
    EXPECT_EQ(ParseHandOff(HandOffCommand("config.example")).kind, HandOff::Open);
    EXPECT_EQ(ParseHandOff("OpenNew ").kind, HandOff::Other);
    EXPECT_EQ(ParseHandOff("open").kind, HandOff::Other);
    EXPECT_EQ(ParseHandOff("ddeopenhttp://a/").kind, HandOff::Other);
    char a0[] = "olumetta", a1[] = "http://a/b c", a2[] = "中文";
    char *argv[] = {a0, a1, a2};
    EXPECT_EQ(CommandLineText(3, argv), QString::fromUtf8("http://a/b c 中文"));
}

TEST(SearchTest, ThreeEnginesAndNoneOtherwise) {
    EXPECT_EQ(SearchAddress("0", "中文 x"), "https://www.baidu.com/s?wd=%E4%B8%AD%E6%96%87%20x");
    // Terms reach the engine as typed, even those holding the query's own delimiters.
    EXPECT_EQ(SearchAddress("0", "c++ & qt"), "https://www.baidu.com/s?wd=c%2B%2B%20%26%20qt");
    EXPECT_EQ(SearchAddress("1", "c++ #include 100%"),
              "https://www.google.com/search?q=c%2B%2B%20%23include%20100%25");
    EXPECT_EQ(SearchAddress("1", "q"), "https://www.google.com/search?q=q");
    EXPECT_EQ(SearchAddress("2", "q"), "https://cn.bing.com/search?q=q");
    EXPECT_EQ(SearchAddress("3", "q"), "");
    EXPECT_EQ(SearchAddress(" 0", "q"), "");
    EXPECT_EQ(SearchFrontPage("2"), "https://cn.bing.com/");
}

// Enter opens what the engine takes for an address; never a path under the working folder.
TEST(SearchTest, EnterOpensAddressesAndSearchesWhatIsNone) {
    for (const char *address : {"www.python.org", "127.0.0.1:8000/a.html", "localhost:8080",
                                "python", "file:///etc/hosts", "/etc/hosts"})
        EXPECT_EQ(AddressOrSearch(address, "0"), address);
    EXPECT_EQ(AddressOrSearch("c++ & qt", "1"),
              "https://www.google.com/search?q=c%2B%2B%20%26%20qt");
    EXPECT_EQ(AddressOrSearch("天气 北京", "2"), SearchAddress("2", "天气 北京"));
    EXPECT_EQ(AddressOrSearch("100%", "x"), "100%");  // no engine: left to the engine's guess
}

// The list's suggestions: the newest first, each once; each typed word is marked wherever it
// stands, letter case aside, overlapping places joined.
TEST(SearchTest, ListSuggestionsNewestFirstAndEachWordMarked) {
    EXPECT_EQ(Suggestions({"http://a.org/x", "http://b.org/", "http://A.org/y", "http://b.org/"},
                          "a.ORG"),
              QStringList({"http://A.org/y", "http://a.org/x"}));
    using Spans = QList<std::pair<qsizetype, qsizetype>>;
    EXPECT_EQ(MatchSpans("Beta Weekly — http://beta/", "weekly beta"),
              (Spans{{0, 4}, {5, 6}, {21, 4}}));
    EXPECT_EQ(MatchSpans("abcabc", "bca ab"), (Spans{{0, 5}}));
    EXPECT_EQ(MatchSpans("text", "  "), Spans());
}
