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
    FakePorts(std::string text, const SearchHistory& history, bool launchSucceeds = true)
        : box(std::move(text)), history_(history), launchSucceeds_(launchSucceeds) {}

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
    bool openInDefaultBrowser(const std::string& url) override {
        log.push_back("launch");
        launched.push_back(url);
        historyAtLaunch = history_.count();
        newestAtLaunch = history_.count() ? history_.entry(0) : "";
        return launchSucceeds_;
    }

    std::string box;
    std::vector<std::string> log;
    std::vector<std::string> traced;
    std::vector<std::string> launched;
    std::size_t historyAtLaunch = 0;
    std::string newestAtLaunch;

  private:
    const SearchHistory& history_;
    bool launchSucceeds_;
};

TEST(RunSearch, EmptyBoxDoesNothing) {
    SearchHistory history;
    FakePorts ports("", history);
    EXPECT_FALSE(runSearch(0, history, testSettings(100, 1), ports));
    EXPECT_EQ(ports.log, (std::vector<std::string>{"length"}));
    EXPECT_EQ(history.count(), 0u);
}

TEST(RunSearch, EffectsInOrderRecordBeforeLaunchThenEmptyTheBoxAndTrace) {
    SearchHistory history;
    history.record("older", 100);
    history.stepOlder();
    FakePorts ports("1+1=2", history);
    EXPECT_TRUE(runSearch(0, history, testSettings(100, 1), ports));

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
    EXPECT_FALSE(runSearch(3, history, testSettings(100, 1), ports));
    EXPECT_EQ(ports.log, (std::vector<std::string>{"length", "read 4", "launch"}));
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
    EXPECT_TRUE(runSearch(0, history, settings, first));
    EXPECT_EQ(first.launched[0],
              "http://www.google.co.jp/search?hl=ja&q=+Aa+&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=");
    settings.japanLocal = 1;
    FakePorts second(" Aa ", history);
    EXPECT_TRUE(runSearch(0, history, settings, second));
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
        runSearch(4, history, testSettings(2, 1), ports);
    }
    ASSERT_EQ(history.count(), 2u);
    EXPECT_EQ(history.entry(0), "w3");
    EXPECT_EQ(history.entry(1), "w2");
}

TEST(RunSearch, NihonInCodePage932GoesAsUtf8ToGoogleAndEucJpToTheDictionary) {
    const std::string nihon = "\x93\xFA\x96\x7B";
    SearchHistory history;
    FakePorts image(nihon, history);
    EXPECT_TRUE(runSearch(1, history, testSettings(100, 1), image));
    EXPECT_EQ(image.launched[0],
              "http://images.google.co.jp/images?svnum=10&hl=ja&client=opera&rls=ja"
              "&q=%e6%97%a5%e6%9c%ac&btnG=Google+%E6%A4%9C%E7%B4%A2");
    FakePorts dictionary(nihon, history);
    EXPECT_TRUE(runSearch(2, history, testSettings(100, 1), dictionary));
    EXPECT_EQ(dictionary.launched[0],
              "http://dictionary.goo.ne.jp/search.php?MT=%c6%fc%cb%dc&kind=ej&mode=0");
    // The history holds the word as typed, not converted.
    EXPECT_EQ(history.entry(0), nihon);
}

}  // namespace
}  // namespace lumenvik
