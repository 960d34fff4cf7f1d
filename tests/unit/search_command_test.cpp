#include "search/search_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/test_settings.h"

namespace lumenvik {
namespace {

const char kBanner[] = "=======結果=========";

// A search box, debugger output and browser in one log. The launch notes
// what the history held at that moment.
class FakePorts : public SearchCommandPorts {
  public:
    FakePorts(std::string text, const SearchHistory& history, bool launchSucceeds = true,
              unsigned codePage = 932)
        : box(std::move(text)),
          history_(history),
          launchSucceeds_(launchSucceeds),
          codePage_(codePage) {}

    std::size_t boxTextLength() override {
        log.push_back("length");
        return box.size();
    }
    std::string readBoxText(std::size_t bufferBytes) override {
        log.push_back("read " + std::to_string(bufferBytes));
        return box.substr(0, bufferBytes - 1);
    }
    void setBoxText(const std::string& text) override {
        log.push_back("set \"" + text + "\"");
        box = text;
    }
    void trace(const std::string& text) override {
        log.push_back("trace");
        traced.push_back(text);
    }
    bool openInBrowser(const std::string& url, const std::string& browser) override {
        log.push_back("launch");
        launched.push_back(url);
        browsers.push_back(browser);
        historyAtLaunch = history_.count();
        newestAtLaunch = history_.count() ? history_.entry(0) : "";
        return launchSucceeds_;
    }
    unsigned ansiCodePage() override { return codePage_; }

    std::string box;
    std::vector<std::string> log;
    std::vector<std::string> traced;
    std::vector<std::string> launched;
    std::vector<std::string> browsers;
    std::size_t historyAtLaunch = 0;
    std::string newestAtLaunch;

  private:
    const SearchHistory& history_;
    bool launchSucceeds_;
    unsigned codePage_;
};

const SearchSite& site(int mode) { return builtInSearchSites()[mode]; }

TEST(RunSearch, EmptyBoxDoesNothing) {
    SearchHistory history;
    FakePorts ports("", history);
    EXPECT_FALSE(runSearch(site(0), history, testSettings(100, 1), ports));
    EXPECT_EQ(ports.log, (std::vector<std::string>{"length"}));
    EXPECT_EQ(history.count(), 0u);
}

TEST(RunSearch, EffectsInOrderRecordBeforeLaunchThenEmptyTheBoxAndTrace) {
    SearchHistory history;
    history.record("older", 100);
    history.stepOlder();
    FakePorts ports("1+1=2", history);
    EXPECT_TRUE(runSearch(site(0), history, testSettings(100, 1), ports));

    const std::string url =
        "http://www.google.co.jp/"
        "search?hl=ja&q=1%2b1%3d2&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja";
    EXPECT_EQ(ports.log, (std::vector<std::string>{"length", "read 6", "launch", "set \"\"",
                                                   "trace", "trace", "trace"}));
    EXPECT_EQ(ports.launched, (std::vector<std::string>{url}));
    EXPECT_EQ(ports.historyAtLaunch, 2u);
    EXPECT_EQ(ports.newestAtLaunch, "1+1=2");
    EXPECT_EQ(history.cursor(), -1);
    EXPECT_EQ(ports.traced, (std::vector<std::string>{std::string(kBanner) + "\n", url,
                                                      "\n" + std::string(kBanner) + "\n"}));
    EXPECT_EQ(ports.box, "");
}

TEST(RunSearch, FailedLaunchKeepsTheBoxAndTheHistoryEntryAndTracesNothing) {
    SearchHistory history;
    FakePorts ports("a b", history, /*launchSucceeds=*/false);
    SearchSite withBrowser = site(3);
    withBrowser.browser = "gone.exe %1";
    EXPECT_FALSE(runSearch(withBrowser, history, testSettings(100, 1), ports));
    EXPECT_EQ(ports.log, (std::vector<std::string>{"length", "read 4", "launch"}));
    EXPECT_EQ(ports.browsers, (std::vector<std::string>{"gone.exe %1"}));
    EXPECT_EQ(
        ports.launched,
        (std::vector<std::string>{"http://dictionary.goo.ne.jp/search.php?MT=a+b&kind=je&mode=0"}));
    EXPECT_EQ(ports.box, "a b");
    ASSERT_EQ(history.count(), 1u);
    EXPECT_EQ(history.entry(0), "a b");
}

TEST(RunSearch, WordIsTakenUnchangedAndJapanLocalIsReadAtEachRun) {
    SearchHistory history;
    SearchSettings settings = testSettings(100, 0);
    FakePorts first(" Aa ", history);
    EXPECT_TRUE(runSearch(site(0), history, settings, first));
    EXPECT_EQ(first.launched[0],
              "http://www.google.co.jp/search?hl=ja&q=+Aa+&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=");
    settings.japanLocal = 1;
    FakePorts second(" Aa ", history);
    EXPECT_TRUE(runSearch(site(0), history, settings, second));
    EXPECT_EQ(second.launched[0],
              "http://www.google.co.jp/search?hl=ja&q=+Aa+"
              "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja");
    // The same word twice is held twice.
    ASSERT_EQ(history.count(), 2u);
    EXPECT_EQ(history.entry(0), " Aa ");
    EXPECT_EQ(history.entry(1), " Aa ");
}

TEST(RunSearch, HistorySizeIsReadAtEachRun) {
    SearchHistory history;
    for (const char* word : {"w1", "w2", "w3"}) {
        FakePorts ports(word, history);
        runSearch(site(4), history, testSettings(2, 1), ports);
    }
    ASSERT_EQ(history.count(), 2u);
    EXPECT_EQ(history.entry(0), "w3");
    EXPECT_EQ(history.entry(1), "w2");
}

TEST(RunSearch, NihonInCodePage932GoesAsUtf8ToGoogleAndEucJpToTheDictionary) {
    const std::string nihon = "\x93\xFA\x96\x7B";
    SearchHistory history;
    FakePorts image(nihon, history);
    EXPECT_TRUE(runSearch(site(1), history, testSettings(100, 1), image));
    EXPECT_EQ(image.launched[0],
              "http://images.google.co.jp/images?svnum=10&hl=ja&client=opera&rls=ja"
              "&q=%e6%97%a5%e6%9c%ac&btnG=Google+%E6%A4%9C%E7%B4%A2");
    FakePorts dictionary(nihon, history);
    EXPECT_TRUE(runSearch(site(2), history, testSettings(100, 1), dictionary));
    EXPECT_EQ(dictionary.launched[0],
              "http://dictionary.goo.ne.jp/search.php?MT=%c6%fc%cb%dc&kind=ej&mode=0");
    // The history holds the word as typed, not converted.
    EXPECT_EQ(history.entry(0), nihon);
}

// The word is in the ANSI code page by construction, so it is converted
// from there, not guessed: short words of full-width letters and single
// kanji used to be taken for EUC-JP.
TEST(RunSearch, WordGoesFromTheAnsiCodePageToTheSiteEncodingWithoutAGuess) {
    const struct {
        const char* word;  // code page 932
        const char* utf8;
        const char* euc;
    } cases[] = {
        {"\x82\x60", "%ef%bc%a1", "%a3%c1"},  // Ａ
        {"\x82\x74\x82\x72\x82\x61", "%ef%bc%b5%ef%bc%b3%ef%bc%a2",
         "%a3%d5%a3%d3%a3%c2"},                              // ＵＳＢ
        {"\x8e\xb2", "%e8%bb%b8", "%bc%b4"},                 // 軸
        {"\x8e\xb7", "%e5%9f%b7", "%bc%b9"},                 // 執
        {"\xb1\xb2", "%ef%bd%b1%ef%bd%b2", "%8e%b1%8e%b2"},  // ｱｲ
        {"iPhone\x82\x77\x8e\xb2\xb6", "iPhone%ef%bc%b8%e8%bb%b8%ef%bd%b6",
         "iPhone%a3%d8%bc%b4%8e%b6"},  // iPhoneＸ軸ｶ
    };
    for (const auto& c : cases) {
        SearchHistory history;
        FakePorts web(c.word, history);
        runSearch(site(0), history, testSettings(100, 1), web);
        EXPECT_NE(web.launched.at(0).find(std::string("q=") + c.utf8 + "&"), std::string::npos)
            << web.launched[0];
        FakePorts dictionary(c.word, history);
        runSearch(site(2), history, testSettings(100, 1), dictionary);
        EXPECT_NE(dictionary.launched.at(0).find(std::string("MT=") + c.euc + "&"),
                  std::string::npos)
            << dictionary.launched[0];
    }
    // UTF-8 as the ANSI code page; an unknown one falls back to the guess.
    SearchHistory history;
    FakePorts utf8("\xe8\xbb\xb8", history, true, 65001);
    runSearch(site(2), history, testSettings(100, 1), utf8);
    EXPECT_NE(utf8.launched.at(0).find("MT=%bc%b4&"), std::string::npos) << utf8.launched[0];
    FakePorts unknown("\x93\xFA\x96\x7B", history, true, 1252);
    runSearch(site(2), history, testSettings(100, 1), unknown);
    EXPECT_NE(unknown.launched.at(0).find("MT=%c6%fc%cb%dc&"), std::string::npos);
}

}  // namespace
}  // namespace lumenvik
