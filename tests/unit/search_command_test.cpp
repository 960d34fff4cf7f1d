#include "search/search_command.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/unit/test_settings.h"

namespace lumenvik {
namespace {

const char kBanner[] = "=======結果=========";

// A search box and browser in one log. The launch notes what the history
// held at that moment.
class FakePorts : public SearchCommandPorts {
  public:
    FakePorts(std::u16string text, const SearchHistory& history,
              LaunchIssue issue = LaunchIssue::issued)
        : box(std::move(text)), history_(history), issue_(issue) {}

    std::u16string readBoxText() override {
        log.push_back("read");
        return box;
    }
    void setBoxText(const std::u16string& text) override {
        log.push_back("set \"" + std::string(text.begin(), text.end()) + "\"");
        box = text;
    }
    LaunchIssue openInBrowser(const std::string& url, const std::string& browser,
                              std::size_t wordLength, const std::string& siteName) override {
        log.push_back("launch");
        launched.push_back(url);
        browsers.push_back(browser);
        wordLengths.push_back(wordLength);
        siteNames.push_back(siteName);
        historyAtLaunch = history_.count();
        newestAtLaunch = history_.count() ? history_.entry(0) : "";
        return issue_;
    }

    std::u16string box;
    std::vector<std::string> log;
    std::vector<std::string> launched;
    std::vector<std::size_t> wordLengths;
    std::vector<std::string> browsers;
    std::vector<std::string> siteNames;
    std::size_t historyAtLaunch = 0;
    std::string newestAtLaunch;

  private:
    const SearchHistory& history_;
    LaunchIssue issue_;
};

const SearchSite& site(int mode) { return builtInSearchSites()[mode]; }

TEST(RunSearch, EmptyBoxDoesNothing) {
    SearchHistory history;
    FakePorts ports(u"", history);
    EXPECT_EQ(runSearch(site(0), history, testSettings(100, 1), ports), SearchResult::emptyBox);
    EXPECT_EQ(ports.log, (std::vector<std::string>{"read"}));
    EXPECT_EQ(history.count(), 0u);
}

TEST(RunSearch, EffectsInOrderRecordBeforeLaunchThenEmptyTheBox) {
    SearchHistory history;
    history.record("older", 100);
    history.stepOlder();
    FakePorts ports(u"1+1=2", history);
    EXPECT_EQ(runSearch(site(0), history, testSettings(100, 1), ports), SearchResult::issued);

    const std::string url =
        "http://www.google.co.jp/"
        "search?hl=ja&q=1%2b1%3d2&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja";
    EXPECT_EQ(ports.log, (std::vector<std::string>{"read", "launch", "set \"\""}));
    EXPECT_EQ(ports.launched, (std::vector<std::string>{url}));
    EXPECT_EQ(ports.wordLengths, (std::vector<std::size_t>{5}));
    EXPECT_EQ(ports.historyAtLaunch, 2u);
    EXPECT_EQ(ports.newestAtLaunch, "1+1=2");
    EXPECT_EQ(history.cursor(), -1);
    EXPECT_EQ(ports.box, u"");
    // What the launch writes once the browser started.
    EXPECT_EQ(launchTrace(url), (std::vector<std::string>{std::string(kBanner) + "\n", url,
                                                          "\n" + std::string(kBanner) + "\n"}));
}

TEST(RunSearch, ALaunchNotIssuedKeepsTheBoxAndTheHistoryEntry) {
    for (const LaunchIssue issue : {LaunchIssue::failed, LaunchIssue::tooLong}) {
        SearchHistory history;
        FakePorts ports(u"a 😀", history, issue);
        SearchSite withBrowser = site(3);
        withBrowser.browser = "gone.exe %1";
        EXPECT_EQ(runSearch(withBrowser, history, testSettings(100, 1), ports),
                  issue == LaunchIssue::failed ? SearchResult::failed : SearchResult::tooLong);
        EXPECT_EQ(ports.log, (std::vector<std::string>{"read", "launch"}));
        EXPECT_EQ(ports.browsers, (std::vector<std::string>{"gone.exe %1"}));
        EXPECT_EQ(ports.wordLengths, (std::vector<std::size_t>{4})) << "UTF-16 units";
        EXPECT_EQ(ports.box, u"a 😀");
        ASSERT_EQ(history.count(), 1u);
        EXPECT_EQ(history.entry(0), u8"a 😀");
    }
}

TEST(RunSearch, WordIsTakenUnchangedAndJapanLocalIsReadAtEachRun) {
    SearchHistory history;
    SearchSettings settings = testSettings(100, 0);
    FakePorts first(u" Aa ", history);
    EXPECT_EQ(runSearch(site(0), history, settings, first), SearchResult::issued);
    EXPECT_EQ(first.launched[0],
              "http://www.google.co.jp/search?hl=ja&q=+Aa+&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=");
    settings.japanLocal = 1;
    FakePorts second(u" Aa ", history);
    EXPECT_EQ(runSearch(site(0), history, settings, second), SearchResult::issued);
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
    for (const char16_t* word : {u"w1", u"w2", u"w3"}) {
        FakePorts ports(word, history);
        runSearch(site(4), history, testSettings(2, 1), ports);
    }
    ASSERT_EQ(history.count(), 2u);
    EXPECT_EQ(history.entry(0), "w3");
    EXPECT_EQ(history.entry(1), "w2");
}

// The box's UTF-16 text to each site encoding, whatever the system's code
// page. A character the site's encoding lacks goes as a browser sends it:
// "&#" + its code point in decimal + ";", percent-encoded.
TEST(RunSearch, TheWordGoesFromUtf16ToEachSiteEncoding) {
    const transcode::encoding_id utf8 = transcode::encoding_utf8, sjis = transcode::encoding_sjis,
                                 euc = transcode::encoding_euc, iso = transcode::encoding_iso2022jp;
    const struct {
        std::u16string word;
        transcode::encoding_id site;
        const char* sent;
    } cases[] = {
        {u"日本語", utf8, "%e6%97%a5%e6%9c%ac%e8%aa%9e"},
        {u"日本語", euc, "%c6%fc%cb%dc%b8%ec"},
        {u"日本語", sjis, "%93%fa%96%7b%8c%ea"},
        {u"日本語", iso, "%1b%24BF%7cK%5c8l%1b%28B"},
        {u"Ａ", sjis, "%82%60"},
        {u"ｱｲ", euc, "%8e%b1%8e%b2"},  // half-width katakana: single shift 2
        {u"ｱｲ", sjis, "%b1%b2"},
        // Outside the BMP: the pair is one character.
        {u"😀", utf8, "%f0%9f%98%80"},
        {u"😀", sjis, "%26%23128512%3b"},
        {u"x𠮷y", euc, "x%26%23134071%3by"},
        {u"𠮷", iso, "%26%23134071%3b"},
        {u"‽", sjis, "%26%238253%3b"},
        {u"한국", utf8, "%ed%95%9c%ea%b5%ad"},
        {u"한", euc, "%26%2354620%3b"},
        // JIS X 0212 is no part of a form's EUC-JP.
        {u"é", utf8, "%c3%a9"},
        {u"é", euc, "%26%23233%3b"},
        {u"é", iso, "%26%23233%3b"},
        // Referenced characters among held ones; "?" is a character like others.
        {u"日😀?", sjis, "%93%fa%26%23128512%3b%3f"},
        // An unpaired surrogate is U+FFFD before anything else.
        {std::u16string(u"a") + char16_t(0xD800) + u"b", utf8, "a%ef%bf%bdb"},
        {std::u16string(u"a") + char16_t(0xDC00), sjis, "a%26%2365533%3b"},
        {std::u16string(1, char16_t(0xDBFF)), euc, "%26%2365533%3b"},
    };
    for (const auto& c : cases) {
        SearchHistory history;
        FakePorts ports(c.word, history);
        const SearchSite s{
            "", "http://example.jp/?q=[search_word]", c.site, {}, false, ImeWish::keep, ""};
        ASSERT_EQ(runSearch(s, history, testSettings(100, 1), ports), SearchResult::issued);
        EXPECT_EQ(ports.launched.at(0), std::string("http://example.jp/?q=") + c.sent)
            << c.site << " " << c.sent;
    }
}

// The word alone in a site's URL: `word` searched on a site of `encoding`
// whose template is "http://example.jp/?q=[search_word]", and the bytes the
// query's escapes stand for.
std::string sentBytes(const std::u16string& word, transcode::encoding_id encoding) {
    SearchHistory history;
    FakePorts ports(word, history);
    const SearchSite s{"", "http://example.jp/?q=[search_word]", encoding, {}, false, ImeWish::keep,
                       ""};
    if (runSearch(s, history, testSettings(100, 1), ports) != SearchResult::issued)
        return "(no launch)";
    const std::string query =
        ports.launched.at(0).substr(std::string("http://example.jp/?q=").size());
    std::string bytes;
    for (std::size_t i = 0; i < query.size(); ++i) {
        if (query[i] == '%' && i + 2 < query.size()) {
            bytes += static_cast<char>(std::stoi(query.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            bytes += query[i] == '+' ? ' ' : query[i];
        }
    }
    return bytes;
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
    return out;
}

// tests/unit/web_form_oracle.txt, written by tools/gen_web_form_table with
// encoding_rs, which implements the Encoding Standard's encoders: every
// code point of its JIS X 0208 index, the characters where the library's
// own encoders differ, and random words. Each word reaches a Shift_JIS, an
// EUC-JP and an ISO-2022-JP site as those encoders write it.
TEST(RunSearch, EveryWordOfTheEncoderTableIsSentAsABrowserSendsIt) {
    std::ifstream table(LUMENVIK_SOURCE_DIR "/tests/unit/web_form_oracle.txt");
    ASSERT_TRUE(table.is_open());
    const transcode::encoding_id sites[3] = {transcode::encoding_sjis, transcode::encoding_euc,
                                             transcode::encoding_iso2022jp};
    std::size_t rows = 0, compared = 0;
    std::vector<std::string> wrong;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        ++rows;
        std::istringstream fields(line);
        std::string units, expected[3];
        fields >> units >> expected[0] >> expected[1] >> expected[2];
        ASSERT_TRUE(units.size() % 4 == 0 && !expected[2].empty()) << line;
        std::u16string word;
        for (std::size_t i = 0; i < units.size(); i += 4) {
            word += static_cast<char16_t>(std::stoul(units.substr(i, 4), nullptr, 16));
        }
        for (int k = 0; k < 3; ++k) {
            if (expected[k] == "-") continue;  // the kana joining, ISO-2022-JP
            ++compared;
            const std::string got = hex(sentBytes(word, sites[k]));
            if (got != expected[k]) {
                wrong.push_back(units + " to " + std::to_string(sites[k]) + ": " + got + ", not " +
                                expected[k]);
            }
        }
    }
    EXPECT_GT(rows, 1000u) << "the whole table was read";
    EXPECT_GT(compared, 3 * rows - 20);
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " differ, the first: " << wrong.front();
}

// An escape sequence or a shift byte typed into the word never reaches an
// ISO-2022-JP site as one: each is an error, sent as "&#65533;", and the
// rest of the word follows.
TEST(RunSearch, EscapeAndShiftBytesInTheWordAreReferencesOnIsoSites) {
    const struct {
        std::u16string word;
        const char* sent;
    } cases[] = {
        {u"a\x1b$Bb", "a&#65533;$Bb"},
        {u"a\x0e"
         u"b\x0f"
         u"c",
         "a&#65533;b&#65533;c"},
        {u"\x1b(I1", "&#65533;(I1"},
        {u"日\x1b(B本", "\x1b$BF|\x1b(B&#65533;(B\x1b$BK\\\x1b(B"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sentBytes(c.word, transcode::encoding_iso2022jp), c.sent);
    }
}

// The history holds the word as typed (UTF-8), also where code page 932 has
// no code for it, and shows it back as it was.
TEST(RunSearch, HistoryHoldsWordsCodePage932Lacks) {
    SearchHistory history;
    for (const char16_t* word : {u"한국어", u"café 😀", u"𠮷野家"}) {
        FakePorts ports(word, history);
        runSearch(site(2), history, testSettings(100, 1), ports);
    }
    ASSERT_EQ(history.count(), 3u);
    EXPECT_EQ(history.entry(0), u8"𠮷野家");
    EXPECT_EQ(history.entry(1), u8"café 😀");
    EXPECT_EQ(history.entry(2), u8"한국어");
    history.stepOlder();
    history.stepOlder();
    EXPECT_EQ(history.entryToShow(), u8"café 😀");
}

}  // namespace
}  // namespace lumenvik
