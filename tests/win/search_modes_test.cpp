// Search modes from the settings file in the real program: the file the
// release zip holds, sites that take the word in Shift_JIS and EUC-JP,
// labels saved in UTF-8 and in code page 932, a bad entry, and an edit of
// the file while the program runs.
#include "tests/win/search_fixture.h"
#include "tests/win/tray_driver.h"

#ifndef LVTEST_RELEASE_INI
#error "LVTEST_RELEASE_INI names the settings file of the release zip"
#endif

namespace {

using namespace lvtest;

const char kShuu[] = "執";  // code page 932: 8E B7

class SearchModesTest : public SearchFixture {
  protected:
    // The sites of the user's modes take https too: the stand-in browser
    // is its handler as well (the shell opens such a URL by its scheme).
    void SetUp() override {
        registerBrowser();
        registerHttpsBrowser();
    }
    // Shows the window, moves `steps` modes on from mode 0 (back when
    // negative) and checks the label there.
    void showAt(int steps, const std::string& expectedLabel) {
        show();
        for (int i = 0; i < steps; ++i) release(VK_NEXT);
        for (int i = 0; i > steps; --i) release(VK_PRIOR);
        ASSERT_EQ(label(), expectedLabel);
    }
    // Searches `word` from where showAt left the window; the URL it opened.
    std::string searchHere(const std::string& word) {
        const std::size_t before = launches().size();
        setBox(word);
        release(VK_RETURN);
        EXPECT_TRUE(waitVisible(false));
        EXPECT_TRUE(waitLaunches(before + 1));
        return launches().empty() ? "" : launches().back();
    }
    void hide() {
        release(VK_ESCAPE);
        ASSERT_TRUE(waitVisible(false));
    }
};

TEST_F(SearchModesTest, ReleaseFileAndSitesInShiftJisAndEucJp) {
    // The zip's file (UTF-8 labels behind a byte order mark) with two
    // modes of the user's added to its section.
    startWith(readFile(windowsPath(LVTEST_RELEASE_INI)) +
              "url5=http://sjis.example/find?kw=[search_word]&x=1\r\nencoding5=shift_jis\r\n"
              "url6=http://euc.example/s?q=[search_word]\r\nencoding6=EUC-JP\r\n");
    EXPECT_EQ(messageBox(), nullptr);
    MenuProbe probe;
    ASSERT_TRUE(probe.attach(program.window()));

    showAt(0, u8"【 google 】 検索");
    EXPECT_EQ(searchHere("ＵＳＢ"),
              "http://www.google.co.jp/search?hl=ja&q=%ef%bc%b5%ef%bc%b3%ef%bc%a2"
              "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja");
    showAt(2, u8"【 weblio 英和 】検索");
    EXPECT_EQ(searchHere(kShuu), "https://ejje.weblio.jp/content/%e5%9f%b7");
    showAt(3, u8"【 weblio 和英 】検索");
    EXPECT_EQ(probe.inputMethodOpen(), 1) << "on for the Japanese dictionaries";
    release(VK_PRIOR);
    EXPECT_EQ(probe.inputMethodOpen(), 0) << "off for the English one";
    hide();
    showAt(4, u8"【 コトバンク 】検索");
    EXPECT_EQ(probe.inputMethodOpen(), 1);
    EXPECT_EQ(searchHere("ＴＶ"), "https://kotobank.jp/search?q=%ef%bc%b4%ef%bc%b6");
    showAt(-1, u8"【 euc.example 】検索");
    EXPECT_EQ(searchHere(kShuu), "http://euc.example/s?q=%bc%b9");
    showAt(-2, u8"【 sjis.example 】検索");
    EXPECT_EQ(searchHere(std::string(kShuu) + "ｱ"), "http://sjis.example/find?kw=%8e%b7%b1&x=1");
}

TEST_F(SearchModesTest, BadEntryIsReportedOnceWhileHiddenAndTheOtherModesWork) {
    startWith(
        "[SearchModes]\r\nurl1=ftp://x.example/[search_word]\r\n"
        "url5=http://ok.example/?q=[search_word]\r\n");
    HWND box = nullptr;
    ASSERT_TRUE(waitFor([&] { return (box = messageBox()) != nullptr; }, 5000));
    EXPECT_FALSE(::IsWindowVisible(program.window()));
    EXPECT_EQ(windowText(box), "Lumenvik - 設定エラー");
    const std::string text = windowText(::GetDlgItem(box, 0xFFFF));
    EXPECT_NE(text.find("url1=ftp://x.example/[search_word]"), std::string::npos) << text;
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitFor([&] { return messageBox() == nullptr; }, 3000));

    show();
    release(VK_NEXT);
    EXPECT_EQ(label(), kModeLabels[1]);  // the built-in mode stays
    hide();
    showAt(-1, u8"【 ok.example 】検索");
    EXPECT_EQ(searchHere("a b"), "http://ok.example/?q=a+b");
    EXPECT_EQ(messageBox(), nullptr);  // the unchanged file is not read again
}

TEST_F(SearchModesTest, EditOfTheFileTakesEffectAtTheNextShow) {
    startWith(
        "[otherInfo]\r\ngoogleStart=0\r\n[SearchModes]\r\nurl5=http://five.example/"
        "[search_word]\r\n");
    showAt(-1, u8"【 five.example 】検索");
    hide();

    // As older Notepad saves it: code page 932. Mode 5 is gone, so the
    // window comes back in mode 0, which the file now replaces.
    writeFile(dir.file("lumenvik.ini"),
              "[otherInfo]\r\ngoogleStart=0\r\n[SearchModes]\r\n"
              "url0=https://new.example/?q=[search_word]\r\nlabel0=【 新しい検索 】\r\n"
              "encoding0=euc-jp\r\n");
    showAt(0, u8"【 新しい検索 】");
    EXPECT_EQ(searchHere(kShuu), "https://new.example/?q=%bc%b9");
}

}  // namespace
