// The offline dictionary's list under the search box in the real program,
// started from the release's settings file (dict2=on for weblio 英和,
// dict3=on for weblio 和英) with the built dictionary beside it.
#include <algorithm>

#include "tests/win/screenshot.h"
#include "tests/win/search_fixture.h"

#ifndef LVTEST_RELEASE_INI
#error "LVTEST_RELEASE_INI names the settings file of the release zip"
#endif

namespace {

using namespace lvtest;

constexpr int kDictionaryList = 1030;
const char kJapaneseEnglish[] = u8"【 weblio 和英 】検索";
const char kEnglishJapanese[] = u8"【 weblio 英和 】検索";
// The release's weblio modes are https: sites, which the shell hands to the
// https handler (the stand-in here as well); the URL is read where the
// program hands it on, between its two banners, byte for byte.
const char kCarUrl[] = "https://ejje.weblio.jp/content/%e8%bb%8a";  // 車: E8 BB 8A
const char kKurumaUrl[] = "https://ejje.weblio.jp/content/%e3%81%8f%e3%82%8b%e3%81%be";
std::string handedOn(const char* url) {
    return std::string(u8"=======結果=========\n") + url + u8"\n=======結果=========\n";
}

class DictionaryTest : public SearchFixture {
  protected:
    // The program beside the built dictionary (or without it), with the
    // release's settings file.
    void start(bool withDictionary = true) {
        // A link rather than a copy: the program reads the file only, and
        // 34 MB written before each start is the disk's time, not the test's.
        if (withDictionary) {
            const std::string built = windowsPath(LVTEST_DICTIONARY);
            const std::string here = dir.file("lumenvik-dict.bin");
            ASSERT_TRUE(::CreateHardLinkA(here.c_str(), built.c_str(), nullptr) ||
                        ::CopyFileA(built.c_str(), here.c_str(), FALSE));
        }
        registerBrowser();
        registerHttpsBrowser();
        startWith(readFile(windowsPath(LVTEST_RELEASE_INI)));
        watchTraces();
    }
    void showIn(int mode, const char* expectedLabel) {
        show();
        for (int i = 0; i < mode; ++i) release(VK_NEXT);
        ASSERT_EQ(label(), expectedLabel);
    }
    HWND list() { return program.control(kDictionaryList); }
    // The rows' texts as the list box holds them (what a screen reader
    // reads), empty while the list is hidden or absent.
    std::vector<std::wstring> rows() {
        std::vector<std::wstring> out;
        HWND l = list();
        if (l == nullptr || !::IsWindowVisible(l)) return out;
        const LRESULT count = ::SendMessageW(l, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT length = ::SendMessageW(l, LB_GETTEXTLEN, i, 0);
            std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
            const LRESULT got =
                ::SendMessageW(l, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
            text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
            out.push_back(text);
        }
        return out;
    }
    bool waitRows() {
        return waitFor([&] { return !rows().empty(); }, 3000);
    }
    RECT windowRect() {
        RECT r{};
        ::GetWindowRect(program.window(), &r);
        return r;
    }
    bool boxHasFocus() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(program.window(), nullptr), &info) &&
               info.hwndFocus == program.control(kSearchBox);
    }
    std::wstring clipboardText() {
        std::wstring text;
        if (!::OpenClipboard(nullptr)) return L"(clipboard busy)";
        if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* p = static_cast<const wchar_t*>(::GlobalLock(data))) {
                text = p;
                ::GlobalUnlock(data);
            }
        }
        ::CloseClipboard();
        return text;
    }
};

bool holds(const std::wstring& row, const wchar_t* part) {
    return row.find(part) != std::wstring::npos;
}

TEST_F(DictionaryTest, KurumaShowsCarBelowTheBoxAndCtrlEnterSearchesTheSelectedHeadword) {
    start();
    showIn(3, kJapaneseEnglish);
    const RECT before = windowRect();
    setBoxW(L"くるま");
    ASSERT_TRUE(waitRows());
    const std::vector<std::wstring> shown = rows();
    EXPECT_LE(shown.size(), 8u);
    EXPECT_TRUE(holds(shown[0], L"車") && holds(shown[0], L"car")) << utf8Of(shown[0]);
    // The window grew downward from where it stood; the box kept its text,
    // its caret and the focus.
    const RECT grown = windowRect();
    EXPECT_EQ(grown.left, before.left);
    EXPECT_EQ(grown.top, before.top);
    EXPECT_EQ(grown.right - grown.left, before.right - before.left);
    EXPECT_GT(grown.bottom, before.bottom);
    EXPECT_TRUE(windowTextW(program.control(kSearchBox)) == L"くるま");
    EXPECT_TRUE(boxHasFocus());
    ::SendMessageW(program.control(kSearchBox), EM_SETSEL, 1, 2);

    release(VK_TAB);
    EXPECT_TRUE(waitFor([&] { return ::SendMessageW(list(), LB_GETCURSEL, 0, 0) == 0; }, 2000))
        << rows().size() << " rows; the program's traces:\n"
        << traces.text() << inputState(program);
    EXPECT_TRUE(boxHasFocus()) << "Tab selects a row, the focus stays";
    EXPECT_TRUE(windowTextW(program.control(kSearchBox)) == L"くるま");
    EXPECT_EQ(selection(), std::make_pair(1, 2)) << "the caret stays";
    ASSERT_NO_FATAL_FAILURE(takeScreenshot(LVTEST_SHOT));
    keyDown(VK_CONTROL);
    release('C');
    keyUp(VK_CONTROL);
    EXPECT_TRUE(waitFor([&] { return clipboardText() == shown[0]; }, 2000))
        << utf8Of(clipboardText());
    EXPECT_TRUE(holds(shown[0], L"[くるま]")) << "the copy holds the reading";

    // Two Ctrl presses within the double-press interval (500 ms) are the
    // show key, which hides the window: a user's Ctrl+Enter comes later.
    ::Sleep(600);
    keyDown(VK_CONTROL);
    release(VK_RETURN);
    keyUp(VK_CONTROL);
    EXPECT_TRUE(waitVisible(false));
    EXPECT_TRUE(
        waitFor([&] { return traces.text().find(handedOn(kCarUrl)) != std::string::npos; }, 5000))
        << traces.text();
    // Hidden, the window is back at its size without the list.
    const RECT after = windowRect();
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(DictionaryTest, EnterAloneSearchesTheBoxsTextAndAppleFindsRingo) {
    start();
    showIn(3, kJapaneseEnglish);
    setBoxW(L"くるま");
    ASSERT_TRUE(waitRows());
    release(VK_RETURN);
    EXPECT_TRUE(waitVisible(false));
    EXPECT_TRUE(waitFor(
        [&] { return traces.text().find(handedOn(kKurumaUrl)) != std::string::npos; }, 5000))
        << traces.text();
    // The stand-in browser's start must be over before the next show: a
    // program starting under Wine may take the activation for a moment,
    // which hides the search window and empties the box (as it should).
    ASSERT_TRUE(waitBrowsersDone());

    // Typed key by key, the list follows each letter and the caret stays
    // at the end.
    showIn(2, kEnglishJapanese);
    for (WORD key : {'A', 'P', 'P', 'L', 'E'}) release(key);
    EXPECT_TRUE(windowTextW(program.control(kSearchBox)) == L"apple")
        << utf8Of(windowTextW(program.control(kSearchBox))) << "\n"
        << inputState(program);
    EXPECT_EQ(selection(), std::make_pair(5, 5));
    ASSERT_TRUE(waitRows());
    const std::vector<std::wstring> shown = rows();
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                            [](const std::wstring& r) { return holds(r, L"林檎"); }));
    // The list goes when the text does.
    setBoxW(L"");
    EXPECT_TRUE(waitFor([&] { return rows().empty(); }, 3000));
}

TEST_F(DictionaryTest, AModeWithoutDictOnAndAMissingFileShowNoList) {
    start();
    show();
    ASSERT_EQ(label(), kModeLabels[0]);
    const RECT before = windowRect();
    setBoxW(L"くるま");
    release(VK_END);  // the program has handled the text meanwhile
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(windowRect().bottom, before.bottom);
}

TEST_F(DictionaryTest, WithoutTheFileThereIsNoListAndNoTrace) {
    start(false);
    EXPECT_EQ(list(), nullptr);
    showIn(3, kJapaneseEnglish);
    const RECT before = windowRect();
    setBoxW(L"くるま");
    release(VK_END);
    EXPECT_EQ(windowRect().bottom, before.bottom);
    EXPECT_EQ(traces.text().find("dictionary"), std::string::npos) << traces.text();
}

// The header's words (after the 8 bytes of the magic), little-endian.
uint32_t headerWord(const std::string& file, int index) {
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k) {
        v = v << 8 | static_cast<unsigned char>(file[static_cast<std::size_t>(8 + 4 * index + k)]);
    }
    return v;
}

TEST_F(DictionaryTest, TruncatedOrCorruptedFilesGiveNoListAndOneTraceLine) {
    const std::string whole = readFile(windowsPath(LVTEST_DICTIONARY));
    ASSERT_GT(whole.size(), 1000u);
    writeFile(dir.file("lumenvik-dict.bin"), whole.substr(0, whole.size() / 2));
    start(false);
    EXPECT_EQ(list(), nullptr) << "refused at start-up";
    showIn(3, kJapaneseEnglish);
    const RECT before = windowRect();
    setBoxW(L"くるま");
    release(VK_END);
    EXPECT_EQ(windowRect().bottom, before.bottom) << program.hookEvents();
    release(VK_ESCAPE);
    ASSERT_TRUE(waitVisible(false));
    traces.detach();
    program.stop();

    // Whole, but every string offset of the Japanese keys and of their
    // stored answers points past the pool: found on the first look-up.
    std::string bad = whole;
    for (int table : {8, 12}) {  // word 7: key count, 8: keys; 11: answers, 12: their place
        const uint32_t count = headerWord(whole, table - 1), at = headerWord(whole, table);
        const uint32_t size = table == 8 ? 12 : 36;
        for (uint32_t i = 0; i < count; ++i) bad[at + i * size + 3] = '\x7F';
    }
    writeFile(dir.file("lumenvik-dict.bin"), bad);
    startWith(readFile(windowsPath(LVTEST_RELEASE_INI)));
    watchTraces();
    showIn(3, kJapaneseEnglish);
    setBoxW(L"くるま");
    release(VK_END);
    setBoxW(L"くる");
    release(VK_END);
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(windowRect().bottom, before.bottom) << program.hookEvents();
    const std::string text = traces.text();
    const std::size_t first = text.find("dictionary");
    // The program's state with it: a log keeps a failed test's last lines.
    ASSERT_NE(first, std::string::npos) << text << program.hookEvents();
    EXPECT_EQ(text.find("dictionary", first + 1), std::string::npos) << "one line: " << text;
}

}  // namespace
