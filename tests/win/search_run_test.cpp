// The whole road of one search in the real program: a word in the box, a
// real Enter release, and the URL that reaches the stand-in browser
// registered as the handler of "http"; and the messages when the registry
// names no usable browser.
#include <algorithm>

#include "tests/win/search_fixture.h"

namespace {

using namespace lvtest;

const char kNihon[] = "日本";  // code page 932: 93 FA 96 7B

class SearchRunTest : public SearchFixture {
  protected:
    // Shows the window and releases Page Down until `mode` is on the label.
    void showInMode(int mode) {
        show();
        for (int i = 0; i < mode; ++i) release(VK_NEXT);
        ASSERT_EQ(label(), kModeLabels[mode]);
    }
    // Closes the message box with its OK button and waits for the window to hide.
    void closeMessageBox(HWND box) {
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(waitFor([&] { return messageBox() == nullptr; }, 3000));
        EXPECT_TRUE(waitVisible(false));
    }
    void expectNewestHistoryEntry(const std::string& word) {
        show();
        release(VK_UP);
        EXPECT_EQ(box(), word) << "the word went into the history";
        release(VK_ESCAPE);
        ASSERT_TRUE(waitVisible(false));
    }
};

struct ModeCase {
    int mode;
    const wchar_t* word;
    const char* url;
};

// The word goes into the box as UTF-16 and the labels and the history are
// read as UTF-16: the case runs again where the code page is 1252
// (tests/win/run-in-locale), with the same URLs. Mode 5 is a Shift_JIS
// site of the settings file.
TEST_F(SearchRunTest, EachModeSendsTheWordInTheSitesEncodingToTheDefaultBrowser) {
    const char* const labels[6] = {kModeLabels[0], kModeLabels[1], kModeLabels[2],
                                   kModeLabels[3], kModeLabels[4], u8"【 sjis.example 】検索"};
    const ModeCase cases[] = {
        {0, L"日本語",
         "http://www.google.co.jp/search?hl=ja&q=%e6%97%a5%e6%9c%ac%e8%aa%9e"
         "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja"},
        {1, L"日本",
         "http://images.google.co.jp/images?svnum=10&hl=ja&client=opera&rls=ja"
         "&q=%e6%97%a5%e6%9c%ac&btnG=Google+%E6%A4%9C%E7%B4%A2"},
        {2, L"日本語",
         "http://dictionary.goo.ne.jp/search.php?MT=%c6%fc%cb%dc%b8%ec&kind=ej&mode=0"},
        {3, L"日本", "http://dictionary.goo.ne.jp/search.php?MT=%c6%fc%cb%dc&kind=je&mode=0"},
        {4, L"日本", "http://dictionary.goo.ne.jp/search.php?MT=%c6%fc%cb%dc&kind=all&mode=0"},
        {5, L"日本語", "http://sjis.example/s?q=%93%fa%96%7b%8c%ea"},
        {0, L"表示",
         "http://www.google.co.jp/search?hl=ja&q=%e8%a1%a8%e7%a4%ba"
         "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja"},
        {3, L"表示", "http://dictionary.goo.ne.jp/search.php?MT=%c9%bd%bc%a8&kind=je&mode=0"},
        {2, L"1+1=2 a-b",
         "http://dictionary.goo.ne.jp/search.php?MT=1%2b1%3d2+a%2db&kind=ej&mode=0"},
        // Outside the BMP: whole to UTF-8, as a reference to Shift_JIS.
        {0, L"\U0001F600",
         "http://www.google.co.jp/search?hl=ja&q=%f0%9f%98%80"
         "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja"},
        {5, L"\U0001F600", "http://sjis.example/s?q=%26%23128512%3b"},
    };
    registerBrowser();
    startWith(
        "[SearchModes]\r\nurl5=http://sjis.example/s?q=[search_word]\r\nencoding5=shift_jis\r\n");
    watchTraces();
    std::size_t done = 0;
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", " << c.url);
        show();
        for (int i = 0; i < c.mode; ++i) release(VK_NEXT);
        ASSERT_EQ(label(), labels[c.mode]);
        setBoxW(c.word);
        release(VK_RETURN);
        EXPECT_TRUE(waitVisible(false));
        ASSERT_TRUE(waitLaunches(++done));
        EXPECT_EQ(launches().back(), c.url);
        // The URL between two banners, as the last thing written.
        const std::string trace =
            std::string(u8"=======結果=========\n") + c.url + u8"\n=======結果=========\n";
        EXPECT_TRUE(waitFor([&] { return traces.text().size() >= trace.size(); }, 2000));
        const std::string written = traces.text();
        EXPECT_EQ(written.substr(written.size() - std::min(written.size(), trace.size())), trace);
        // The history gives the word back as it was typed.
        show();
        release(VK_UP);
        EXPECT_TRUE(windowTextW(program.control(kSearchBox)) == c.word);
        release(VK_ESCAPE);
        ASSERT_TRUE(waitVisible(false));
        EXPECT_EQ(label(), kModeLabels[0]) << "googleStart brings the web search back";
    }
    ASSERT_TRUE(waitBrowsersDone());
    EXPECT_EQ(launches().size(), done) << "one launch per search";
}

TEST_F(SearchRunTest, ShiftEnterInADictionaryModeSendsTheGoogleWebSearch) {
    registerBrowser();
    startWith();
    showInMode(4);
    setBox(kNihon);
    releaseWithShift(VK_RETURN);
    EXPECT_TRUE(waitVisible(false));
    ASSERT_TRUE(waitLaunches(1));
    EXPECT_EQ(launches()[0],
              "http://www.google.co.jp/search?hl=ja&q=%e6%97%a5%e6%9c%ac"
              "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja");
}

TEST_F(SearchRunTest, ABoxOfSpacesIsAWordOfPlusSignsAndJapanLocalOffEmptiesLr) {
    registerBrowser();
    startWith("[otherInfo]\r\njapanLocal=0\r\n");
    search("   ");
    ASSERT_TRUE(waitLaunches(1));
    EXPECT_EQ(launches()[0],
              "http://www.google.co.jp/search?hl=ja&q=+++&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=");
    expectNewestHistoryEntry("   ");
}

TEST_F(SearchRunTest, AnInternetExplorerCommandStartsItsProgramWithNewAndTheUrl) {
    // Any letter case counts; the program is the quoted first token of the
    // registry's command, which also carries the "%1" argument.
    registerBrowser("IExplore.exe");
    startWith();
    search("abc");
    ASSERT_TRUE(waitLaunches(1));
    EXPECT_EQ(launches()[0],
              "-new http://www.google.co.jp/search?hl=ja&q=abc"
              "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja");
}

TEST_F(SearchRunTest, AVerbOf147BytesIsReadAndItsCommandUsed) {
    registerBrowser();
    const std::string verb(147, 'v');
    std::string registered;
    ASSERT_NO_FATAL_FAILURE(readOpenCommand(&registered));
    ASSERT_TRUE(setDefaultValue("http\\shell\\" + verb + "\\command", registered));
    ASSERT_TRUE(setDefaultValue("http\\shell", verb));
    startWith();
    search("abc");
    EXPECT_EQ(messageBox(), nullptr);
    EXPECT_TRUE(waitLaunches(1)) << "the shell opened the URL";
}

struct MissingBrowserCase {
    const char* what;
    void (*breakRegistry)();
    const char* caption;
    const char* text;
};

TEST_F(SearchRunTest, WithoutAUsableBrowserTheRightMessageShowsAndNothingIsLaunched) {
    const MissingBrowserCase cases[] = {
        {"no http\\shell", [] { ASSERT_TRUE(deleteKeyTree("http\\shell")); },
         "規定のブラウザが見つかりません",
         "HKEY_CLASSES_ROOT\\http\\shellとブラウザが関連付いていません。\r\n"
         "windowsの設定を確認してください。"},
        {"a verb of 148 bytes",
         [] { ASSERT_TRUE(setDefaultValue("http\\shell", std::string(148, 'v'))); },
         "規定のブラウザ情報を取得できませんでした。",
         "HKEY_CLASSES_ROOT\\http\\shellの値取得に失敗しました。\r\n"
         "windowsの設定を確認してください。"},
        {"a command of 532 bytes",
         [] {
             ASSERT_TRUE(setDefaultValue("http\\shell\\open\\command",
                                         "\"C:\\browser.exe\" " + std::string(515, 'a')));
         },
         "規定のブラウザ情報を取得できませんでした。",
         "HKEY_CLASSES_ROOT\\http\\shellの値取得に失敗しました。\r\n"
         "windowsの設定を確認してください。"},
        {"a verb without a command", [] { ASSERT_TRUE(setDefaultValue("http\\shell", "lvnone")); },
         "規定のブラウザが見つかりません",
         "ブラウザが関連付いていません。\r\nwindowsの設定を確認してください。"},
    };
    startWith();
    watchTraces();
    for (const MissingBrowserCase& c : cases) {
        SCOPED_TRACE(c.what);
        registerBrowser();
        c.breakRegistry();
        show();
        setBox(kNihon);
        release(VK_RETURN);
        HWND box = nullptr;
        ASSERT_TRUE(waitFor([&] { return (box = messageBox()) != nullptr; }, 5000));
        EXPECT_EQ(windowText(box), c.caption);
        EXPECT_EQ(windowText(::GetDlgItem(box, 0xFFFF)), c.text);
        closeMessageBox(box);
        EXPECT_EQ(messageBox(), nullptr) << "one message only";
        expectNewestHistoryEntry(kNihon);
        registry->restore();
    }
    ASSERT_TRUE(waitBrowsersDone());
    EXPECT_TRUE(launches().empty()) << "nothing was launched";
    EXPECT_EQ(traces.text(), "") << "no URL traced";
}

TEST_F(SearchRunTest, ABrowserThatCannotBeStartedIsReportedNamingItsCommand) {
    // An uninstalled browser: its command stays registered, its program is gone.
    const std::string command = "\"" + dir.file("gone\\browser.exe") + "\" \"%1\"";
    ASSERT_TRUE(setDefaultValue("http\\shell\\open\\command", command));
    startWith();
    watchTraces();
    show();
    setBox(kNihon);
    release(VK_RETURN);
    HWND shown = nullptr;
    ASSERT_TRUE(waitFor([&] { return (shown = messageBox()) != nullptr; }, 5000));
    EXPECT_EQ(windowText(shown), "ブラウザを起動できません");
    EXPECT_NE(windowText(::GetDlgItem(shown, 0xFFFF)).find(command), std::string::npos);
    closeMessageBox(shown);
    EXPECT_EQ(messageBox(), nullptr) << "one message only";
    // The word is kept. (The box itself is emptied by the hide path that the
    // message box's activation runs, as after every failure.)
    expectNewestHistoryEntry(kNihon);
    EXPECT_TRUE(launches().empty());
    EXPECT_EQ(traces.text(), "") << "no URL traced";
}

// A mode's own browser: a program in a folder with a blank in its name, an
// argument of its own, and the URL of a word that holds quotes, blanks and
// "%1" as one argument; mode 0 still goes to the registered browser.
TEST_F(SearchRunTest, AModesOwnBrowserGetsItsArgumentAndTheExactUrl) {
    registerBrowser();
    const std::string other = dir.file("other browser");
    ASSERT_TRUE(::CreateDirectoryA(other.c_str(), nullptr));
    const std::string otherExe = other + "\\fox.exe";
    ASSERT_TRUE(::CopyFileA(dir.file(browserName.c_str()).c_str(), otherExe.c_str(), FALSE));
    startWith("[SearchModes]\r\nbrowser3=\"" + otherExe + "\" -private-window %1\r\n");
    showInMode(3);
    setBox("a \"b\" %1");
    release(VK_RETURN);
    EXPECT_TRUE(waitVisible(false));
    const std::string otherLog = other + "\\browser-log.txt";
    ASSERT_TRUE(waitFor([&] { return !readFile(otherLog).empty(); }, 5000));
    EXPECT_EQ(readFile(otherLog),
              "-private-window "
              "http://dictionary.goo.ne.jp/search.php?MT=a+%22b%22+%251&kind=je&mode=0\n");
    search("x");
    ASSERT_TRUE(waitLaunches(1));
    EXPECT_EQ(launches(), (std::vector<std::string>{"http://www.google.co.jp/search?hl=ja&q=x"
                                                    "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja"}));
}

// Windows 8 and later keep the browser chosen in Settings as a UserChoice
// ProgId per scheme and leave HKEY_CLASSES_ROOT\http naming Internet
// Explorer: the chosen browser gets the search, with the exact URL; a
// scheme without a UserChoice still goes to the http handler.
TEST_F(SearchRunTest, TheBrowserChosenInSettingsGetsTheUrlNotTheHttpHandler) {
    // The fixture has removed the prefix's UserChoice keys, and puts them back.
    const char kProgId[] = "LvTest.FoxURL";
    HttpShellGuard progIdGuard(windowsPath(std::string(LVTEST_REGISTRY_BACKUP) + "-progid"),
                               kProgId);
    registerBrowser("iexplore.exe");
    const std::string chosen = dir.file("chosen");
    ASSERT_TRUE(::CreateDirectoryA(chosen.c_str(), nullptr));
    const std::string fox = chosen + "\\fox.exe";
    ASSERT_TRUE(::CopyFileA(dir.file("iexplore.exe").c_str(), fox.c_str(), FALSE));
    ASSERT_TRUE(setDefaultValue(std::string(kProgId) + "\\shell\\open\\command",
                                "\"" + fox + "\" -osint -url \"%1\""));
    const std::string choice = kUserChoiceHttp;
    ASSERT_TRUE(setValueW(HKEY_CURRENT_USER, std::wstring(choice.begin(), choice.end()), L"ProgId",
                          L"LvTest.FoxURL"));
    startWith("[SearchModes]\r\nurl5=https://secure.example/s?q=[search_word]\r\n");
    watchTraces();
    search("a \"b\" %1");
    const std::string foxLog = chosen + "\\browser-log.txt";
    ASSERT_TRUE(waitFor([&] { return !readFile(foxLog).empty(); }, 5000));
    const std::string url =
        "http://www.google.co.jp/search?hl=ja&q=a+%22b%22+%251&btnG=Google+%E6%A4%9C%E7%B4%A2"
        "&lr=lang_ja";
    EXPECT_EQ(readFile(foxLog), "-osint -url " + url + "\n");
    EXPECT_TRUE(waitFor([&] { return traces.text().find(url) != std::string::npos; }, 2000))
        << "traced once started";
    show();
    for (int i = 0; i < 5; ++i) release(VK_NEXT);
    ASSERT_EQ(label(), u8"【 secure.example 】検索");
    setBox("x");
    release(VK_RETURN);
    EXPECT_TRUE(waitVisible(false));
    ASSERT_TRUE(waitLaunches(1));
    EXPECT_EQ(launches(), (std::vector<std::string>{"-new https://secure.example/s?q=x"}));
    ASSERT_TRUE(waitBrowsersDone());
    EXPECT_EQ(readFile(foxLog), "-osint -url " + url + "\n") << "one launch there";
}

TEST_F(SearchRunTest, KeptHistoryComesBackAfterARestartAndIsNeverWrittenWithoutTheOption) {
    registerBrowser();
    const std::string historyFile = dir.file("lumenvik-history.txt");
    startWith();
    search("off");
    ASSERT_TRUE(waitLaunches(1));
    ASSERT_EQ(program.exitCleanly(), 0);
    EXPECT_EQ(::GetFileAttributesA(historyFile.c_str()), INVALID_FILE_ATTRIBUTES);

    startWith("[Options]\r\nkeepHistory=1\r\n");
    search("apple");
    search(kNihon);
    ASSERT_TRUE(waitLaunches(3));
    ASSERT_EQ(program.exitCleanly(), 0);
    EXPECT_EQ(readFile(historyFile), "apple\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\n");

    startWith();
    show();
    release(VK_UP);
    EXPECT_EQ(box(), kNihon);
    release(VK_UP);
    EXPECT_EQ(box(), "apple");
    release(VK_UP);
    EXPECT_EQ(box(), "apple") << "nothing older: the run without the option kept nothing";
}

// Notepad saved the kept history again as "Unicode" between two runs: the
// words come back with Up, and the next write is UTF-8 again.
TEST_F(SearchRunTest, AHistoryResavedAsUtf16ComesBackWithUpAndIsWrittenAsUtf8Again) {
    registerBrowser();
    const std::string historyFile = dir.file("lumenvik-history.txt");
    const char utf16[] =
        "\xFF\xFE"
        "a\0p\0p\0l\0e\0\r\0\n\0"
        "\xE5\x65\x2C\x67\r\0\n\0";
    writeFile(historyFile, std::string(utf16, sizeof utf16 - 1));
    startWith("[Options]\r\nkeepHistory=1\r\n");
    show();
    release(VK_UP);
    EXPECT_EQ(box(), kNihon);
    release(VK_UP);
    EXPECT_EQ(box(), "apple");
    release(VK_ESCAPE);
    ASSERT_TRUE(waitVisible(false));
    search("x");
    ASSERT_TRUE(waitLaunches(1));
    EXPECT_TRUE(waitFor(
        [&] { return readFile(historyFile) == "apple\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\nx\r\n"; },
        3000))
        << readFile(historyFile);
}

// A folder named with U+20BB7 (in no code page; the ANSI functions see "?"):
// the program finds its settings file there, writes it and keeps its
// history beside it.
TEST_F(SearchRunTest, InAFolderOutsideTheCodePageTheSettingsAndTheHistoryStayThere) {
    registerBrowser();
    const std::wstring folder = dir.widePath() + L"\\\U00020BB7\u7530";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring ini = folder + L"\\lumenvik.ini";
    const std::string settings = "[otherInfo]\r\ngoogleStart=0\r\n[Options]\r\nkeepHistory=1\r\n";
    writeFile(ini, settings);
    ASSERT_TRUE(program.start(folder));
    ASSERT_TRUE(program.waitReady());
    EXPECT_EQ(readFile(ini), settings) << "found: the first start's write did not happen";
    // Read: googleStart=0 keeps the mode from one show to the next.
    showInMode(1);
    release(VK_ESCAPE);
    ASSERT_TRUE(waitVisible(false));
    show();
    EXPECT_EQ(label(), kModeLabels[1]);
    release(VK_ESCAPE);
    ASSERT_TRUE(waitVisible(false));

    // Written: the tray's WEB全体から検索, as its menu item sends it.
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(program.window(), WM_COMMAND, 10003, 0, SMTO_ABORTIFHUNG,
                                      5000, &ignored));
    EXPECT_EQ(messageBox(), nullptr) << windowText(messageBox());
    EXPECT_TRUE(waitFor(
        [&] {
            return readFile(ini) ==
                   "[otherInfo]\r\ngoogleStart=0\r\njapanLocal=0\r\n[Options]\r\nkeepHistory=1\r\n";
        },
        3000))
        << readFile(ini);

    search("apple");
    ASSERT_TRUE(waitLaunches(1));
    EXPECT_TRUE(
        waitFor([&] { return readFile(folder + L"\\lumenvik-history.txt") == "apple\r\n"; }, 3000));
    EXPECT_FALSE(fileExists(folder + L"\\lumenvik.ini.new"));
    EXPECT_FALSE(fileExists(folder + L"\\lumenvik-history.txt.new"));
}

}  // namespace
