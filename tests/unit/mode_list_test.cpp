#include "search/mode_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/search_command.h"
#include "settings/ini_save.h"

namespace lumenvik {
namespace {

using transcode::encoding_euc;
using transcode::encoding_utf8;

const char kSection[] = "[SearchModes]\r\n";

std::vector<std::string> written(const std::vector<IniValue>& values) {
    std::vector<std::string> lines;
    for (const IniValue& v : values) lines.push_back(v.section + "/" + v.key + "=" + v.value);
    return lines;
}

// A user's mode as the file holds it.
ModeKeys userMode(const std::string& url, const std::string& label = "") {
    ModeKeys keys{{"url", url}};
    if (!label.empty()) keys["label"] = label;
    return keys;
}

TEST(SeveralSites, FurtherSitesOfAModeAreReadInOrderAndABadOneIsReportedAlone) {
    const SearchModesReading r = readSearchModes(std::string(kSection) +
                                                     "url5=https://a.example/?q=[search_word]\r\n"
                                                     "url5_2=https://b.example/[search_word]\r\n"
                                                     "url5_3=ftp://c.example/[search_word]\r\n"
                                                     "url5_4=https://d.example/[search_word]\r\n"
                                                     "url2_2=https://e.example/[search_word]\r\n"
                                                     "ime5=\r\ndict5=\r\nlabel1=Pictures\r\n",
                                                 encoding_utf8);
    ASSERT_EQ(r.modes.count(), 6u);
    EXPECT_EQ(r.modes.site(5).moreUrls,
              (std::vector<std::string>{"https://b.example/[search_word]",
                                        "https://d.example/[search_word]"}));
    // A built-in mode takes further sites and a label without a URL of its own.
    EXPECT_EQ(r.modes.site(2).url, builtInSearchSites()[2].url);
    EXPECT_EQ(r.modes.site(2).moreUrls.size(), 1u);
    EXPECT_STREQ(r.modes.label(1), "Pictures");
    EXPECT_EQ(r.modes.site(1).url, builtInSearchSites()[1].url);
    // Empty values read as absent ones.
    EXPECT_EQ(r.modes.site(5).ime, ImeWish::keep);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].find("url5_3=ftp://c.example/[search_word]"), 0u) << r.problems[0];
}

// A browser whose launches fail where the test says.
class Launches : public SearchCommandPorts {
  public:
    std::u16string readBoxText() override { return u"日本"; }
    void setBoxText(const std::u16string& text) override { box = text; }
    LaunchIssue openInBrowser(const std::string& url, const std::string& browser,
                              std::size_t /*wordLength*/, const std::string& siteName) override {
        opened.push_back(url + " " + browser + " " + siteName);
        held += "l";
        return opened.size() == failing ? LaunchIssue::failed : LaunchIssue::issued;
    }
    void beginLaunches() override { held += "("; }
    void endLaunches() override { held += ")"; }
    std::string held;  // the launches between the holds: "(ll)"
    std::vector<std::string> opened;
    std::size_t failing = 0;  // the launch (from 1) that fails
    std::u16string box = u"unchanged";
};

TEST(SeveralSites, OneSearchOpensEachSiteInTurnInTheModesBrowserAndGoesOnPastAFailure) {
    const SearchModesReading r = readSearchModes(
        std::string(kSection) +
            "url5=https://a.example/?q=[search_word]\r\nencoding5=euc-jp\r\nlabel5=Two\r\n"
            "url5_2=https://b.example/[search_word]\r\nbrowser5=x.exe\r\n",
        encoding_utf8);
    Launches ports;
    ports.failing = 1;
    SearchHistory history;
    SearchSettings settings;
    settings.setDefaults();
    EXPECT_EQ(runSearch(r.modes.site(5), history, settings, ports), SearchResult::issued);
    EXPECT_EQ(ports.opened, (std::vector<std::string>{
                                "https://a.example/?q=%c6%fc%cb%dc x.exe 「Two」の 1 番目のサイト"
                                "（https://a.example/?q=[search_word]）",
                                "https://b.example/%c6%fc%cb%dc x.exe 「Two」の 2 番目のサイト"
                                "（https://b.example/[search_word]）"}));
    EXPECT_EQ(ports.held, "(ll)");  // started in turn, in that order
    EXPECT_EQ(ports.box, u"");
    // A mode with one site names none.
    Launches single;
    single.failing = 1;
    EXPECT_EQ(runSearch(r.modes.site(4), history, settings, single), SearchResult::failed);
    ASSERT_EQ(single.opened.size(), 1u);
    EXPECT_EQ(single.opened[0].back(), ' ');
    EXPECT_EQ(single.box, u"unchanged");
}

TEST(SeveralSites, AFailedStartNamesItsSite) {
    BrowserStart start = commandBrowser("x.exe", "https://b.example/");
    const std::string plain = launchFailedMessage(start).text;
    start.site = "「Two」の 2 番目のサイト（https://b.example/[search_word]）";
    const std::string named = launchFailedMessage(start).text;
    EXPECT_NE(named.find(start.site), std::string::npos);
    EXPECT_NE(named.find(plain), std::string::npos);
    EXPECT_EQ(plain.find("「Two」"), std::string::npos);
}

TEST(ModeList, EditsKeepTheBuiltInFiveAndNumberTheUsersModesFromFiveWithoutAGap) {
    ModeList list(std::string(kSection) + "url5=https://a.example/[search_word]\r\ndict5=on\r\n" +
                  "url6=https://b.example/[search_word]\r\n");
    ASSERT_EQ(list.count(), 7u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_FALSE(list.remove(i)) << i;
        EXPECT_FALSE(list.moveUp(i)) << i;
        EXPECT_FALSE(list.moveDown(i)) << i;
    }
    EXPECT_FALSE(list.moveUp(5));    // not above the built-in five
    EXPECT_FALSE(list.moveDown(6));  // the last
    EXPECT_TRUE(list.add(userMode("https://c.example/[search_word]", "C")));
    EXPECT_TRUE(list.moveUp(7));
    EXPECT_EQ(list.keys(6), userMode("https://c.example/[search_word]", "C"));
    EXPECT_TRUE(list.remove(5));
    ASSERT_EQ(list.count(), 7u);
    EXPECT_EQ(list.keys(5).at("url"), "https://c.example/[search_word]");
    EXPECT_EQ(list.keys(6).at("url"), "https://b.example/[search_word]");
    // At most sixteen modes.
    while (list.canAdd()) list.add(userMode("https://d.example/[search_word]"));
    EXPECT_EQ(list.count(), 16u);
    EXPECT_FALSE(list.add(userMode("https://e.example/[search_word]")));
}

TEST(ModeList, OkWritesOnlyTheChangedKeysIntoTheTextKeepingCommentsAndUnknownKeys) {
    const std::string file =
        "; my modes\r\n[KeyData]\r\nmode_prior=33\r\n[SearchModes]\r\n"
        "url5=https://a.example/[search_word]\r\nlabel5=\"\"A\"\"\r\ndict5=on\r\nmine5=kept\r\n"
        "; b\r\nurl6=https://b.example/[search_word]\r\nencoding6=euc-jp\r\nime6=on\r\n"
        "url7=https://c.example/[search_word]\r\n"
        "[Other]\r\nurl5=x\r\n";
    const ModeList before(file);
    ModeList after = before;
    EXPECT_TRUE(written(after.changesFrom(before)).empty());  // nothing changed, nothing written
    after.moveUp(6);                                          // b, a, c
    after.remove(7);                                          // b, a
    const std::vector<IniValue> changes = after.changesFrom(before);
    EXPECT_EQ(written(changes),
              (std::vector<std::string>{
                  "SearchModes/url5=https://b.example/[search_word]",
                  "SearchModes/label5=",
                  "SearchModes/encoding5=euc-jp",
                  "SearchModes/ime5=on",
                  "SearchModes/dict5=",
                  "SearchModes/url6=https://a.example/[search_word]",
                  "SearchModes/label6=\"\"A\"\"",  // read back as "A" with its quotes
                  "SearchModes/encoding6=",
                  "SearchModes/ime6=",
                  "SearchModes/dict6=on",
                  "SearchModes/url7=",
              }));
    const std::string text = withIniValues(file, changes);
    EXPECT_EQ(text,
              "; my modes\r\n[KeyData]\r\nmode_prior=33\r\n[SearchModes]\r\n"
              "url5=https://b.example/[search_word]\r\nlabel5=\r\ndict5=\r\nmine5=kept\r\n"
              "; b\r\nurl6=https://a.example/[search_word]\r\nencoding6=\r\nime6=\r\n"
              "url7=\r\nencoding5=euc-jp\r\nime5=on\r\nlabel6=\"\"A\"\"\r\ndict6=on\r\n"
              "[Other]\r\nurl5=x\r\n");
    // The program reads the new text as the list the dialog showed.
    const SearchModesReading r = readSearchModes(text, encoding_utf8);
    EXPECT_TRUE(r.problems.empty());
    ASSERT_EQ(r.modes.count(), 7u);
    EXPECT_EQ(r.modes.site(5).url, "https://b.example/[search_word]");
    EXPECT_EQ(r.modes.site(5).encoding, encoding_euc);
    EXPECT_EQ(r.modes.site(5).ime, ImeWish::on);
    EXPECT_FALSE(r.modes.site(5).dictionary);
    EXPECT_STREQ(r.modes.label(6), "\"A\"");
    EXPECT_TRUE(r.modes.site(6).dictionary);
    EXPECT_EQ(ModeList(text).count(), 7u);
}

TEST(ModeList, AJapaneseLabelWrittenIntoAUtf16FileReadsBackAsTyped) {
    // [SearchModes] as Notepad saves "Unicode": UTF-16LE with its mark.
    std::string file = "\xFF\xFE";
    for (char c : std::string(kSection)) file += std::string{c, '\0'};
    const ModeList before(file);
    ModeList after = before;
    after.add(userMode("https://a/[search_word]", "【 辞書 😀 】"));
    const std::string text = withIniValues(file, after.changesFrom(before));
    const SearchModesReading r = readSearchModes(text, encoding_utf8);
    ASSERT_EQ(r.modes.count(), 6u);
    EXPECT_STREQ(r.modes.label(5), "【 辞書 😀 】");
}

TEST(ModeList, AnAddedModeClearsWhatAnEarlierOneLeftAtItsNumber) {
    const std::string file = std::string(kSection) + "ime5=on\r\nlabel5=old\r\n";
    const ModeList before(file);
    ModeList after = before;
    after.add(userMode("https://n.example/[search_word]"));
    EXPECT_EQ(written(after.changesFrom(before)),
              (std::vector<std::string>{"SearchModes/url5=https://n.example/[search_word]",
                                        "SearchModes/label5=", "SearchModes/ime5="}));
}

TEST(ModeEditor, ABuiltInModeWritesOnlyWhatTheUserChanged) {
    const ModeList list("");
    const ModeFields shown = fieldsOfMode(0, list.keys(0));
    EXPECT_EQ(shown.label, builtInSearchSites()[0].label);
    EXPECT_EQ(shown.urls[0],
              "http://www.google.co.jp/search?hl=ja&q=[search_word]&btnG=Google+%E6%A4%9C%E7%B4%A2"
              "&lr=");
    EXPECT_EQ(shown.encoding, encoding_utf8);

    ModeFields edited = shown;
    EXPECT_TRUE(keysOfFields(0, list.keys(0), shown, edited).empty());
    edited.label = " 検索 ";
    edited.dictionary = true;
    EXPECT_EQ(keysOfFields(0, list.keys(0), shown, edited),
              (ModeKeys{{"label", "検索"}, {"dict", "on"}}));
    // A new encoding needs the URL it goes with.
    edited = shown;
    edited.encoding = encoding_euc;
    EXPECT_EQ(keysOfFields(0, list.keys(0), shown, edited),
              (ModeKeys{{"url", shown.urls[0]}, {"encoding", "euc-jp"}}));
    // Emptied fields remove their keys; further sites are written without gaps.
    const ModeKeys user{{"url", "https://a/[search_word]"}, {"browser", "x.exe"}, {"ime", "on"}};
    const ModeFields userShown = fieldsOfMode(5, user);
    edited = userShown;
    edited.browser = "";
    edited.ime = ImeWish::keep;
    edited.urls[2] = "https://c/[search_word]";
    EXPECT_EQ(keysOfFields(5, user, userShown, edited),
              (ModeKeys{{"url", "https://a/[search_word]"}, {"url_2", "https://c/[search_word]"}}));
}

TEST(ModeEditor, WhatTheReaderRefusesStopsOk) {
    const struct {
        ModeKeys keys;
        const char* key;  // the key the first problem names, or "" for none
    } cases[] = {
        {{{"url", "https://a/[search_word]"}}, ""},
        {{{"url", "https://a/search"}}, "url5"},
        {{{"url", "a/[search_word]"}}, "url5"},
        {{}, "url5"},
        {{{"url", "https://a/[search_word]"}, {"url_2", "https://b/"}}, "url5_2"},
        {{{"url", "https://a/[search_word]"}, {"browser", "\"C:\\x"}}, "browser5"},
        {{{"url", "https://a/[search_word]"}, {"label", "a\nb"}}, "label5"},
    };
    for (const auto& c : cases) {
        const std::vector<ModeProblem> problems = modeProblems(5, c.keys);
        if (*c.key == '\0') {
            EXPECT_TRUE(problems.empty()) << problems[0].key;
        } else {
            ASSERT_FALSE(problems.empty()) << c.key;
            EXPECT_EQ(problems[0].key, c.key);
            EXPECT_FALSE(problems[0].reason.empty());
        }
    }
    EXPECT_TRUE(modeProblems(2, {}).empty());  // a built-in mode has its own URL
    EXPECT_EQ(modeKeyKind("url5_2"), "url_2");
    EXPECT_EQ(modeKeyKind("browser12"), "browser");
}

TEST(ModeEditor, ThePreviewIsTheSearchsOwnBytesInEachEncoding) {
    // 日本語 by the JIS X 0208 code chart: 467C 4B5C 386C.
    const struct {
        const char* encoding;
        const char* url;
    } cases[] = {
        {"utf-8", "https://a/?q=%e6%97%a5%e6%9c%ac%e8%aa%9e"},
        {"shift_jis", "https://a/?q=%93%fa%96%7b%8c%ea"},
        {"euc-jp", "https://a/?q=%c6%fc%cb%dc%b8%ec"},
        {"iso-2022-jp", "https://a/?q=%1b%24BF%7cK%5c8l%1b%28B"},
    };
    for (const auto& c : cases) {
        const SearchSite site =
            siteOfMode(5, {{"url", "https://a/?q=[search_word]"}, {"encoding", c.encoding}});
        EXPECT_EQ(searchUrls(site, true, u"日本語"), (std::vector<std::string>{c.url}))
            << c.encoding;
    }
}

}  // namespace
}  // namespace lumenvik
