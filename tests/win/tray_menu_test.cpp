// The tray icon's menu of the real program: read back from inside the
// program, chosen with the mouse, with its effects on the settings file.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/win/program_driver.h"
#include "tests/win/tray_driver.h"

namespace {

using namespace lvtest;

class TrayMenuTest : public ::testing::Test {
  protected:
    // The program in `dir`, started in `workDir` when one is given.
    void startWith(const std::string& ini, const std::string& workDir = "") {
        if (!ini.empty()) writeFile(dir.file("lumenvik.ini"), ini);
        ASSERT_TRUE(program.start(dir.path(), "", -1, workDir));
        ASSERT_TRUE(program.waitReady());
        ASSERT_TRUE(probe.attach(program.window()));
    }
    std::string ini() const { return dir.file("lumenvik.ini"); }
    // Closes an open menu the way that works under Wine: a click on the
    // program's own (shown) window, three at most. Returns the clicks made.
    int closeMenu() {
        RECT rect{};
        ::GetWindowRect(program.window(), &rect);
        int clicks = 0;
        for (; clicks < 3 && menuShowing(program.pid()); ++clicks) {
            clickSettled((rect.left + rect.right) / 2, rect.bottom - 10);
            waitFor([&] { return !menuShowing(program.pid()); }, 1500);
        }
        return clicks;
    }

    TaskbarHolder taskbar;
    TempDir dir;
    TempDir elsewhere;  // a working folder other than the program's
    Program program;
    MenuProbe probe;  // unhooked before the program is ended
};

struct Expected {
    char kind;
    int id;
    bool checked;
    const char* text;
};

void expectMenu(const Menu& menu, const std::vector<Expected>& expected) {
    ASSERT_EQ(menu.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(menu[i].kind, expected[i].kind);
        if (expected[i].kind == 's') {
            EXPECT_EQ(menu[i].id, expected[i].id);
        }
        EXPECT_EQ(menu[i].checked, expected[i].checked);
        EXPECT_EQ(menu[i].text, expected[i].text);
    }
}

// The main menu and its submenu, told apart by their first item.
const Menu* menuStartingWith(const std::vector<Menu>& menus, const std::string& text) {
    for (const Menu& menu : menus) {
        if (!menu.empty() && menu.front().text == text) return &menu;
    }
    return nullptr;
}

void expectTrayMenu(const std::vector<Menu>& menus, bool googleStart, bool runAtLogon = false) {
    const Menu* main = menuStartingWith(menus, u8"設定(&S)");
    ASSERT_NE(main, nullptr);
    expectMenu(*main, {{'s', 10002, false, u8"設定(&S)"},
                       {'s', 10010, false, u8"検索サイト(&K)..."},
                       {'-', 0, false, ""},
                       {'>', -1, false, u8"google検索範囲設定(&G)"},
                       {'-', 0, false, ""},
                       {'s', 10005, googleStart, u8"常にgoogle検索モードから開始(&A)"},
                       {'-', 0, false, ""},
                       {'>', -1, false, u8"表示位置(&P)"},
                       {'s', 10009, runAtLogon, u8"Windows の起動時に実行(&R)"},
                       {'-', 0, false, ""},
                       {'s', 10020, false, u8"履歴を消去(&C)"},
                       {'-', 0, false, ""},
                       {'s', 10001, false, u8"終了(&X)"}});
}

void expectRangeSubmenu(const std::vector<Menu>& menus, bool japanese) {
    const Menu* range = menuStartingWith(menus, u8"WEB全体から検索(&W)");
    ASSERT_NE(range, nullptr);
    expectMenu(*range, {{'s', 10003, !japanese, u8"WEB全体から検索(&W)"},
                        {'s', 10004, japanese, u8"日本語のページを検索(&J)"}});
}

// Opens the menu and its submenu and checks both against the settings.
void expectMenusMatch(Program& program, MenuProbe& probe, bool googleStart, bool japanese) {
    std::vector<Menu> menus = openTrayMenu(program, probe);
    expectTrayMenu(menus, googleStart);
    const MenuItem* range = findItem(menus, u8"google検索範囲設定(&G)");
    ASSERT_NE(range, nullptr);
    const MenuItem rangeItem = *range;
    clickItemUntil(rangeItem, [&] {
        menus = probe.read();
        return menuStartingWith(menus, u8"WEB全体から検索(&W)") != nullptr;
    });
    expectRangeSubmenu(menus, japanese);
}

// Started elsewhere (a shortcut's working folder, a Run key), the program
// still reads and writes the settings file beside itself.
TEST_F(TrayMenuTest, TheMenuShowsTheSettingsAndItsChoicesAreSavedAtOnceBesideTheProgram) {
    const std::string original = "[otherInfo]\r\nkeyInterval=300\r\n";
    const std::string decoy = "[otherInfo]\r\nkeyInterval=700\r\ngoogleStart=0\r\n";
    writeFile(elsewhere.file("lumenvik.ini"), decoy);
    startWith(original, elsewhere.path());
    EXPECT_TRUE(trayIconExists(program.window())) << "the icon is there after start-up";

    expectMenusMatch(program, probe, true, true);
    const int clicks = closeMenu();
    EXPECT_FALSE(menuShowing(program.pid()))
        << clicks << " clicks elsewhere; " << inputState(program);
    EXPECT_EQ(readFile(ini()), original) << "opening the menu writes nothing";

    // The user edits the file while the program runs: the marks follow the
    // file, and a choice writes its own key alone, the user's keyInterval kept.
    writeFile(ini(), "[otherInfo]\r\nkeyInterval=700\r\njapanLocal=0\r\n");
    expectMenusMatch(program, probe, true, false);
    closeMenu();
    ASSERT_TRUE(chooseTrayItem(program, probe, u8"日本語のページを検索(&J)"));
    EXPECT_TRUE(waitFor([&] { return iniValue(ini(), "otherInfo", "japanLocal") == 1; }, 3000))
        << inputState(program);
    EXPECT_EQ(readFile(ini()), "[otherInfo]\r\nkeyInterval=700\r\njapanLocal=1\r\n");
    EXPECT_EQ(readFile(elsewhere.file("lumenvik.ini")), decoy) << "the working folder's file";

    ASSERT_TRUE(chooseTrayItem(program, probe, u8"WEB全体から検索(&W)"));
    EXPECT_TRUE(waitFor([&] { return iniValue(ini(), "otherInfo", "japanLocal") == 0; }, 3000));
    expectMenusMatch(program, probe, true, false);
    closeMenu();

    // The toggle twice: back where it was, and the file written both times.
    ASSERT_TRUE(chooseTrayItem(program, probe, u8"常にgoogle検索モードから開始(&A)"));
    EXPECT_TRUE(waitFor([&] { return iniValue(ini(), "otherInfo", "googleStart") == 0; }, 3000));
    expectMenusMatch(program, probe, false, false);
    closeMenu();
    ASSERT_TRUE(chooseTrayItem(program, probe, u8"常にgoogle検索モードから開始(&A)"));
    EXPECT_TRUE(waitFor([&] { return iniValue(ini(), "otherInfo", "googleStart") == 1; }, 3000));
}

// The user's Run value "Lumenvik" as it was, put back when the test ends.
class RunValueGuard {
  public:
    RunValueGuard() { saved_ = read(); }
    ~RunValueGuard() {
        if (saved_) {
            write(*saved_);
        } else {
            remove();
        }
    }
    RunValueGuard(const RunValueGuard&) = delete;
    RunValueGuard& operator=(const RunValueGuard&) = delete;

    static std::optional<std::wstring> read() {
        wchar_t text[1024] = {};
        DWORD bytes = sizeof text - sizeof(wchar_t);
        if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Lumenvik", RRF_RT_REG_SZ, nullptr, text,
                           &bytes) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::wstring(text);
    }
    static bool write(const std::wstring& value) {
        return ::RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Lumenvik", REG_SZ, value.c_str(),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
               ERROR_SUCCESS;
    }
    static void remove() { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Lumenvik"); }

  private:
    static constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    std::optional<std::wstring> saved_;
};

bool sameText(const std::optional<std::wstring>& a, const std::wstring& b) {
    return a && ::lstrcmpiW(a->c_str(), b.c_str()) == 0;
}

std::string iniText(const std::string& file, const char* section, const char* key) {
    char text[64] = {};
    ::GetPrivateProfileStringA(section, key, "", text, sizeof text, file.c_str());
    return text;
}

TEST_F(TrayMenuTest, WhereTheBarOpensAndStartingWithWindowsAreChosenInTheMenu) {
    RunValueGuard runValue;
    RunValueGuard::remove();
    startWith("[otherInfo]\r\nkeyInterval=500\r\n[Options]\r\nshowOn=active\r\n");
    std::vector<Menu> menus = openTrayMenu(program, probe);
    expectTrayMenu(menus, true, false);
    const MenuItem* place = findItem(menus, u8"表示位置(&P)");
    ASSERT_NE(place, nullptr);
    clickItemUntil(*place, [&] {
        menus = probe.read();
        return menuStartingWith(menus, u8"プライマリモニター") != nullptr;
    });
    const Menu* choices = menuStartingWith(menus, u8"プライマリモニター");
    ASSERT_NE(choices, nullptr);
    expectMenu(*choices, {{'s', 10006, false, u8"プライマリモニター"},
                          {'s', 10007, false, u8"マウスのあるモニター"},
                          {'s', 10008, true, u8"作業中のウィンドウのモニター"}});
    closeMenu();
    EXPECT_FALSE(RunValueGuard::read().has_value()) << "nothing is written unless chosen";

    ASSERT_TRUE(chooseTrayItem(program, probe, u8"マウスのあるモニター"));
    EXPECT_TRUE(waitFor([&] { return iniText(ini(), "Options", "showOn") == "mouse"; }, 3000));

    // On: the quoted path of this very program; the mark follows.
    const std::wstring value =
        L"\"" + std::wstring(dir.path().begin(), dir.path().end()) + L"\\lumenvik.exe\"";
    ASSERT_TRUE(chooseTrayItem(program, probe, u8"Windows の起動時に実行(&R)"));
    EXPECT_TRUE(waitFor([&] { return sameText(RunValueGuard::read(), value); }, 3000))
        << utf8Of(RunValueGuard::read().value_or(L"(none)"));
    expectTrayMenu(openTrayMenu(program, probe), true, true);
    closeMenu();
    // Off: the value is gone.
    ASSERT_TRUE(chooseTrayItem(program, probe, u8"Windows の起動時に実行(&R)"));
    EXPECT_TRUE(waitFor([&] { return !RunValueGuard::read().has_value(); }, 3000));
    // Another copy's value: unmarked, and choosing points it here.
    ASSERT_TRUE(RunValueGuard::write(L"\"C:\\old\\lumenvik.exe\""));
    expectTrayMenu(openTrayMenu(program, probe), true, false);
    closeMenu();
    ASSERT_TRUE(chooseTrayItem(program, probe, u8"Windows の起動時に実行(&R)"));
    EXPECT_TRUE(waitFor([&] { return sameText(RunValueGuard::read(), value); }, 3000));
}

// A balloon tooltip of the shell whose text starts as the first start's
// welcome does.
BOOL CALLBACK findWelcome(HWND hwnd, LPARAM found) {
    char cls[32] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (::lstrcmpiA(cls, "tooltips_class32") == 0 && ::IsWindowVisible(hwnd) &&
        (::GetWindowLongA(hwnd, GWL_STYLE) & 0x40 /* TTS_BALLOON */) != 0 &&
        utf8Of(windowTextW(hwnd)).rfind(u8"Ctrl キーを2回", 0) == 0) {
        *reinterpret_cast<bool*>(found) = true;
    }
    return TRUE;
}

bool welcomeShowing() {
    bool found = false;
    ::EnumWindows(&findWelcome, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST_F(TrayMenuTest, TheFirstStartSaysHelloAtTheIconAndTheNextDoesNot) {
    ASSERT_TRUE(waitFor([] { return !welcomeShowing(); }, 30000)) << "an earlier test's balloon";
    startWith("");
    EXPECT_TRUE(waitFor(welcomeShowing, 8000)) << "the shell shows it two seconds after the add";
    EXPECT_EQ(iniValue(ini(), "KeyData", "showWindowKey"), VK_CONTROL) << "the settings written";
    ASSERT_EQ(program.exitCleanly(), 0);
    EXPECT_TRUE(waitFor([] { return !welcomeShowing(); }, 5000)) << "gone with the icon";

    Program again;
    ASSERT_TRUE(again.start(dir.path()));
    ASSERT_TRUE(again.waitReady());
    EXPECT_TRUE(trayIconExists(again.window()));
    EXPECT_FALSE(waitFor(welcomeShowing, 5000));
}

TEST_F(TrayMenuTest, EraseHistoryLeavesTheKeptHistoryFileEmpty) {
    const std::string history = dir.file("lumenvik-history.txt");
    writeFile(history, "apple\r\n");
    startWith("[Options]\r\nkeepHistory=1\r\n");
    ASSERT_TRUE(chooseTrayItem(program, probe, u8"履歴を消去(&C)"));
    EXPECT_TRUE(waitFor([&] { return readFile(history).empty(); }, 3000));
    EXPECT_NE(::GetFileAttributesA(history.c_str()), INVALID_FILE_ATTRIBUTES)
        << "emptied, not gone";
}

TEST_F(TrayMenuTest, AfterAShellRestartTheIconIsBackWithTheSameTipAndMenu) {
    startWith("");
    HWND w = program.window();
    ASSERT_TRUE(trayIconExists(w));
    ASSERT_TRUE(removeTrayIcon(w));
    ASSERT_FALSE(trayIconExists(w));
    ::PostMessageA(w, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_TRUE(waitFor([&] { return trayIconExists(w); }, 3000));
    // And it still answers: its right click opens the same menu.
    expectMenusMatch(program, probe, true, true);
    closeMenu();
}

TEST_F(TrayMenuTest, AnIconTheShellRefusedIsAddedOnceTheShellTakesIt) {
    startWith("");
    HWND w = program.window();
    ASSERT_TRUE(removeTrayIcon(w));
    // A shell that is not ready refuses the re-add after its broadcast...
    ASSERT_TRUE(probe.failTrayCalls(true));
    ::PostMessageA(w, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_TRUE(waitFor([&] { return probe.trayCalls() > 0; }, 3000));
    EXPECT_FALSE(trayIconExists(w));
    // ...and once it takes icons, the retry brings the icon (a few seconds).
    ASSERT_TRUE(probe.failTrayCalls(false));
    EXPECT_TRUE(waitFor([&] { return trayIconExists(w); }, 8000));
}

TEST_F(TrayMenuTest, ExitRemovesTheIconBeforeTheWindowGoesAndEndsWithZero) {
    startWith("");
    const std::string atStart = readFile(ini());  // the first start's
    HWND w = program.window();
    ASSERT_TRUE(trayIconExists(w));
    probe.watchDestroy(w);
    ASSERT_TRUE(chooseTrayItem(program, probe, u8"終了(&X)"));
    EXPECT_EQ(program.waitExit(10000), 0);
    EXPECT_EQ(probe.iconAtDestroy(), 0) << "-1: WM_DESTROY not seen, 1: icon still there";
    EXPECT_EQ(readFile(ini()), atStart) << "nothing is saved at exit";
}

TEST_F(TrayMenuTest, DoubleClickTogglesAndOtherMouseMessagesDoNothing) {
    startWith("");
    HWND w = program.window();
    for (LPARAM other : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEMOVE}) {
        ::PostMessageA(w, kTrayNotify, 0, other);
    }
    // Posted messages are handled in order: once the double click has shown
    // the window, the others have been handled, and did not show it.
    ::PostMessageA(w, kTrayNotify, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitFor([&] { return ::IsWindowVisible(w) != FALSE; }, 3000));
    EXPECT_FALSE(menuShowing(program.pid()));
    ::PostMessageA(w, kTrayNotify, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitFor([&] { return ::IsWindowVisible(w) == FALSE; }, 3000));
}

}  // namespace
