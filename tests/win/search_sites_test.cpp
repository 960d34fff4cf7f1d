// The search-site dialog and its mode editor in the real program, driven
// through their controls, found by their texts: a mode added there is
// searched at the next show, Cancel writes nothing, a refused field keeps
// OK disabled, and the keyboard reaches every control; Escape is Cancel and
// Enter is OK in both dialogs.
#include <algorithm>
#include <set>

#include "tests/win/search_fixture.h"
#include "tests/win/tray_driver.h"

namespace {

using namespace lvtest;

constexpr wchar_t kSitesCaption[] = L"検索サイトの設定";
constexpr wchar_t kEditorCaption[] = L"検索モードの編集";
constexpr int kSiteList = 1040, kName = 1050, kUrl1 = 1051, kUrl2 = 1052, kEncoding = 1055,
              kProblem = 1064, kPreview = 1062, kUrlLabel = 1071;

struct TextSearch {
    std::wstring text;
    HWND found = nullptr;
};

BOOL CALLBACK matchText(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<TextSearch*>(param);
    if (windowTextW(child) != search->text) return TRUE;
    search->found = child;
    return FALSE;
}

BOOL CALLBACK collectChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

// The control of `dialog` whose text is `text`.
HWND byText(HWND dialog, const wchar_t* text) {
    TextSearch search{text};
    ::EnumChildWindows(dialog, &matchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class SearchSitesTest : public SearchFixture {
  protected:
    void SetUp() override {
        registerBrowser();
        registerHttpsBrowser();
    }
    void start(const std::string& ini) {
        startWith(ini);
        ASSERT_TRUE(probe.attach(program.window()));
    }
    std::string iniPath() const { return dir.file("lumenvik.ini"); }

    HWND dialogCaptioned(const wchar_t* caption) {
        for (HWND w : findWindows(program.pid(), "#32770", nullptr)) {
            if (::IsWindowVisible(w) && windowTextW(w) == caption) return w;
        }
        return nullptr;
    }
    HWND waitDialog(const wchar_t* caption) {
        HWND dialog = nullptr;
        waitFor([&] { return (dialog = dialogCaptioned(caption)) != nullptr; }, 5000);
        return dialog;
    }
    // 検索サイト(&K)... in the tray menu; the dialog that opened.
    HWND openSites() {
        if (!chooseTrayItem(program, probe, u8"検索サイト(&K)...")) return nullptr;
        return waitDialog(kSitesCaption);
    }
    // The button's own click, posted: one that opens a modal dialog does
    // not return before it ends.
    bool press(HWND dialog, const wchar_t* text) {
        HWND button = byText(dialog, text);
        if (button == nullptr) return false;
        return ::PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
    }
    // The field's text as a user's typing leaves it (its change notified).
    void setField(HWND dialog, int id, const std::wstring& text) {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(::GetDlgItem(dialog, id), WM_SETTEXT, 0,
                              reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 3000,
                              &ignored);
    }
    void choose(HWND dialog, int id, int index) {
        HWND box = ::GetDlgItem(dialog, id);
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(box, id == kSiteList ? LB_SETCURSEL : CB_SETCURSEL,
                              static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, 3000, &ignored);
        const WPARAM change = MAKEWPARAM(id, id == kSiteList ? LBN_SELCHANGE : CBN_SELCHANGE);
        ::SendMessageTimeoutW(dialog, WM_COMMAND, change, reinterpret_cast<LPARAM>(box),
                              SMTO_ABORTIFHUNG, 3000, &ignored);
    }
    // The row's text starts with `label` and a tab.
    bool rowIs(HWND dialog, std::size_t index, const std::wstring& label) {
        const std::vector<std::wstring> now = rows(dialog);
        return index < now.size() && now[index].compare(0, label.size() + 1, label + L"\t") == 0;
    }
    std::wstring field(HWND dialog, int id) { return windowTextW(::GetDlgItem(dialog, id)); }
    std::vector<std::wstring> rows(HWND dialog) {
        HWND list = ::GetDlgItem(dialog, kSiteList);
        std::vector<std::wstring> out;
        const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            // The list may be filled anew meanwhile: a row gone ends the read.
            const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, i, 0);
            if (length < 0) break;
            std::wstring row(static_cast<std::size_t>(length) + 1, L'\0');
            const LRESULT got =
                ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&row[0]));
            if (got < 0) break;
            row.resize(static_cast<std::size_t>(got));
            out.push_back(row);
        }
        return out;
    }
    bool enabled(HWND dialog, const wchar_t* text) {
        HWND control = byText(dialog, text);
        return control != nullptr && ::IsWindowEnabled(control) != FALSE;
    }
    HWND focusOfProgram() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        const DWORD thread = ::GetWindowThreadProcessId(program.window(), nullptr);
        return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    }
    // Puts the dialog in front with a click on `control`, so that real
    // keys reach it (after the tray menu Wine leaves no window in front).
    bool bringToFront(HWND dialog, HWND control) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            RECT rect{};
            ::GetWindowRect(control, &rect);
            clickSettled((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
            if (waitFor([&] { return ::GetForegroundWindow() == dialog; }, 1500)) return true;
        }
        return false;
    }
    // Tab once; the control the focus moved to (each Tab moves it on).
    HWND tabOn() {
        HWND before = focusOfProgram();
        tap(VK_TAB);
        HWND now = before;
        waitFor([&] { return (now = focusOfProgram()) != before; }, 3000);
        return now;
    }
    // The dialog's controls that take the focus: enabled, visible tab stops.
    std::set<HWND> tabStops(HWND dialog) {
        std::vector<HWND> children;
        ::EnumChildWindows(dialog, &collectChild, reinterpret_cast<LPARAM>(&children));
        std::set<HWND> stops;
        for (HWND child : children) {
            if (::GetParent(child) != dialog) continue;  // a combo box's own edit
            const LONG style = ::GetWindowLongW(child, GWL_STYLE);
            if ((style & WS_TABSTOP) != 0 && ::IsWindowEnabled(child) && ::IsWindowVisible(child))
                stops.insert(child);
        }
        return stops;
    }

    MenuProbe probe;
};

TEST_F(SearchSitesTest, AModeAddedWithAnEucJpSiteAndASecondSiteIsSearchedOnBothAtTheNextShow) {
    // The browser takes the first site slowly (the program's launches
    // inherit this), and the second must still come after it.
    ::SetEnvironmentVariableA("LVTEST_SLOW_SITE", "euc.example");
    start("[SearchModes]\r\n; mine\r\n");
    ::SetEnvironmentVariableA("LVTEST_SLOW_SITE", nullptr);
    HWND sites = openSites();
    ASSERT_NE(sites, nullptr);
    ASSERT_EQ(rows(sites).size(), 5u);
    ASSERT_TRUE(press(sites, L"追加(&A)"));
    HWND editor = waitDialog(kEditorCaption);
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(sites)) << "the editor is modal over the list";
    setField(editor, kName, L"EUC の辞書");
    setField(editor, kUrl1, L"http://euc.example/s?q=[search_word]");
    setField(editor, kUrl2, L"https://two.example/[search_word]");
    choose(editor, kEncoding, 2);  // UTF-8, Shift_JIS, EUC-JP, ISO-2022-JP
    EXPECT_EQ(field(editor, kPreview),
              L"http://euc.example/s?q=%c6%fc%cb%dc%b8%ec\r\n"
              L"https://two.example/%c6%fc%cb%dc%b8%ec");
    ASSERT_TRUE(press(editor, L"OK"));
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(editor); }, 3000));
    const std::vector<std::wstring> shown = rows(sites);
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[5], L"EUC の辞書\tEUC-JP\thttp://euc.example/s?q=[search_word] (+1)");
    ASSERT_TRUE(press(sites, L"OK"));
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(sites); }, 3000));

    // Only the new mode's keys, after the section's last line; the comment stays.
    const std::string file = readFile(iniPath());
    EXPECT_NE(file.find("; mine\r\nurl5=http://euc.example/s?q=[search_word]\r\n"
                        "url5_2=https://two.example/[search_word]\r\n"),
              std::string::npos)
        << file;
    show();
    release(VK_PRIOR);  // from mode 0 back to the last one
    ASSERT_EQ(label(), u8"EUC の辞書");
    setBox("日本");
    release(VK_RETURN);
    EXPECT_TRUE(waitVisible(false));
    ASSERT_TRUE(waitLaunches(2));
    EXPECT_EQ(launches(), (std::vector<std::string>{"http://euc.example/s?q=%c6%fc%cb%dc",
                                                    "https://two.example/%c6%fc%cb%dc"}));
}

TEST_F(SearchSitesTest, FromTheSettingsDialogMovedUpAndDeletedThenCancelledTheFileIsUnchanged) {
    const std::string ini =
        "[SearchModes]\r\nurl5=https://a.example/[search_word]\r\nlabel5=A\r\n"
        "url6=https://b.example/[search_word]\r\nlabel6=B\r\nencoding6=sjis\r\n";
    start(ini);
    const std::string started = readFile(iniPath());  // with the first start's values
    ASSERT_TRUE(chooseTrayItem(program, probe, u8"設定(&S)"));
    HWND settings = waitDialog(L"Lumenvikの設定");
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(press(settings, L"検索サイト(&W)..."));
    HWND sites = waitDialog(kSitesCaption);
    ASSERT_NE(sites, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(settings)) << "over the settings dialog";
    ASSERT_EQ(rows(sites).size(), 7u);
    for (int builtIn = 0; builtIn < 5; ++builtIn) {
        choose(sites, kSiteList, builtIn);
        EXPECT_FALSE(enabled(sites, L"削除(&D)")) << builtIn;
        EXPECT_FALSE(enabled(sites, L"上へ(&U)")) << builtIn;
        EXPECT_TRUE(enabled(sites, L"編集(&E)")) << builtIn;
    }
    choose(sites, kSiteList, 5);
    EXPECT_FALSE(enabled(sites, L"上へ(&U)")) << "not above the built-in five";
    choose(sites, kSiteList, 6);
    ASSERT_TRUE(press(sites, L"上へ(&U)"));
    ASSERT_TRUE(waitFor([&] { return rowIs(sites, 5, L"B"); }, 3000));
    EXPECT_TRUE(rowIs(sites, 6, L"A"));
    ASSERT_TRUE(press(sites, L"削除(&D)"));
    ASSERT_TRUE(waitFor([&] { return rows(sites).size() == 6u; }, 3000));
    // Escape is キャンセル.
    ASSERT_TRUE(bringToFront(sites, ::GetDlgItem(sites, kSiteList)));
    tap(VK_ESCAPE);
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(sites); }, 3000));
    EXPECT_TRUE(waitFor([&] { return ::IsWindowEnabled(settings) != FALSE; }, 3000));
    EXPECT_EQ(readFile(iniPath()), started);
}

TEST_F(SearchSitesTest, ATemplateWithoutTheWordIsMarkedAndKeepsOkDisabled) {
    start("");
    HWND sites = openSites();
    ASSERT_NE(sites, nullptr);
    ASSERT_TRUE(press(sites, L"追加(&A)"));
    HWND editor = waitDialog(kEditorCaption);
    ASSERT_NE(editor, nullptr);
    setField(editor, kUrl1, L"https://x.example/find?q=");
    EXPECT_FALSE(enabled(editor, L"OK"));
    EXPECT_FALSE(enabled(editor, L"テスト(&T)"));
    EXPECT_EQ(field(editor, kUrlLabel), L"× URL(&R):");
    EXPECT_NE(field(editor, kProblem).find(L"[search_word]"), std::wstring::npos);
    EXPECT_EQ(field(editor, kPreview), L"");
    // The button writes the token where the caret of the last URL field is
    // (at the end, as after typing).
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(::GetDlgItem(editor, kUrl1), EM_SETSEL, 100, 100, SMTO_ABORTIFHUNG, 3000,
                          &ignored);
    ASSERT_TRUE(press(editor, L"[search_word] を入れる(&I)"));
    EXPECT_TRUE(waitFor([&] { return enabled(editor, L"OK"); }, 3000));
    EXPECT_EQ(field(editor, kUrl1), L"https://x.example/find?q=[search_word]");
    EXPECT_EQ(field(editor, kUrlLabel), L"URL(&R):");
    EXPECT_EQ(field(editor, kProblem), L"");
    // No message box for a bad entry (the list, with its buttons and no
    // edit field, looks like one to messageBoxes).
    for (HWND box : messageBoxes()) EXPECT_EQ(box, sites) << "a message box came";
}

TEST_F(SearchSitesTest, TabReachesEveryControlAndEscapeAndEnterCloseEachDialog) {
    const std::string ini =
        "[SearchModes]\r\nurl5=https://a.example/[search_word]\r\n"
        "url6=https://b.example/[search_word]\r\nurl7=https://c.example/[search_word]\r\n";
    start(ini);
    const std::string started = readFile(iniPath());  // with the first start's values
    HWND sites = openSites();
    ASSERT_NE(sites, nullptr);
    choose(sites, kSiteList, 6);  // a user's mode in the middle: every button works
    HWND list = ::GetDlgItem(sites, kSiteList);
    ASSERT_TRUE(bringToFront(sites, list));
    choose(sites, kSiteList, 6);  // the click may have chosen another row
    const std::set<HWND> stops = tabStops(sites);
    EXPECT_EQ(stops.size(), 8u);  // the list, five buttons, OK, キャンセル
    std::set<HWND> reached;
    for (std::size_t i = 0; i < stops.size(); ++i) reached.insert(tabOn());
    EXPECT_EQ(reached, stops);

    ASSERT_TRUE(press(sites, L"編集(&E)"));
    HWND editor = waitDialog(kEditorCaption);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(field(editor, kUrl1), L"https://b.example/[search_word]");
    ASSERT_TRUE(waitFor([&] { return ::GetForegroundWindow() == editor; }, 3000));
    const std::set<HWND> editorStops = tabStops(editor);
    EXPECT_EQ(editorStops.size(), 15u);  // the fields, the buttons, the preview
    reached.clear();
    for (std::size_t i = 0; i < editorStops.size(); ++i) reached.insert(tabOn());
    EXPECT_EQ(reached, editorStops);
    tap(VK_ESCAPE);
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(editor); }, 3000)) << "Escape closes the editor";
    EXPECT_TRUE(::IsWindow(sites));

    // Enter is OK in both; OK with nothing changed writes nothing.
    ASSERT_TRUE(press(sites, L"編集(&E)"));
    editor = waitDialog(kEditorCaption);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(waitFor([&] { return focusOfProgram() == ::GetDlgItem(editor, kName); }, 3000));
    ASSERT_TRUE(waitFor([&] { return ::GetForegroundWindow() == editor; }, 3000));
    tap(VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(editor); }, 3000)) << "Enter is the editor's OK";
    // The focus away from 編集, whose own Enter would open the editor again.
    ASSERT_TRUE(bringToFront(sites, list));
    ASSERT_TRUE(waitFor([&] { return focusOfProgram() == list; }, 3000));
    tap(VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(sites); }, 3000)) << "Enter is the list's OK";
    EXPECT_EQ(readFile(iniPath()), started);
}

}  // namespace
