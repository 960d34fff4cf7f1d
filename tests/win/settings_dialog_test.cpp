// The settings dialog and the key-capture dialog of the real program, opened
// from the tray menu and used with the mouse and real keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/win/debug_output.h"
#include "tests/win/program_driver.h"
#include "tests/win/screenshot.h"
#include "tests/win/tray_driver.h"

namespace {

using namespace lvtest;

constexpr int kShowWindowKey = 1004, kKeyInterval = 1005, kModePrior = 1006, kModeNext = 1007,
              kHistoryPrior = 1008, kHistoryNext = 1009, kHistorySize = 1010, kGoogleStart = 1011,
              kRestoreDefaults = 1012, kChangeShowWindowKey = 1013, kChangeModePrior = 1016,
              kChangeHistoryNext = 1019, kWebAll = 1021, kJapanesePages = 1022;
constexpr char kCaption[] = "Lumenvikの設定";

const char kCustomIni[] =
    "[KeyData]\r\nmode_prior=65\r\nmode_next=112\r\nhistory_prior=36\r\nhistory_next=35\r\n"
    "showWindowKey=16\r\n[otherInfo]\r\nkeyInterval=300\r\nhistorySize=20\r\ngoogleStart=0\r\n"
    "japanLocal=0\r\n";

// What the dialog shows: five key names, two numbers, three check states.
struct Shown {
    const char* showWindowKey;
    const char* keyInterval;
    const char* modePrior;
    const char* modeNext;
    const char* historyPrior;
    const char* historyNext;
    const char* historySize;
    bool googleStart;
    bool japanese;
};
const Shown kCustomShown{"VK_SHIFT", "300", "A", "VK_F1", "VK_HOME", "VK_END", "20", false, false};
const Shown kDefaultsShown{"VK_CONTROL", "500", "VK_PRIOR", "VK_NEXT", "VK_UP",
                           "VK_DOWN",    "100", true,       true};

class SettingsDialogTest : public ::testing::Test {
  protected:
    void startWith(const std::string& ini) {
        if (!ini.empty()) writeFile(iniPath(), ini);
        ASSERT_TRUE(program.start(dir.path()));
        ASSERT_TRUE(program.waitReady());
        ASSERT_TRUE(probe.attach(program.window()));
    }
    std::string iniPath() const { return dir.file("lumenvik.ini"); }
    int ini(const char* section, const char* key) { return iniValue(iniPath(), section, key); }

    HWND settingsWindow() {
        for (HWND w : findWindows(program.pid(), "#32770", kCaption)) {
            if (::IsWindowVisible(w)) return w;
        }
        return nullptr;
    }
    HWND captureWindow() {
        for (HWND w : findWindows(program.pid(), "#32770", "Dialog")) {
            if (::IsWindowVisible(w)) return w;
        }
        return nullptr;
    }
    // "設定(&S)" in the tray menu; the dialog that opened.
    HWND openSettings() {
        if (!chooseTrayItem(program, probe, u8"設定(&S)")) return nullptr;
        HWND dialog = nullptr;
        waitFor([&] { return (dialog = settingsWindow()) != nullptr; }, 5000);
        // The search window, shown for the menu, hides as the dialog takes over.
        waitFor([&] { return !::IsWindowVisible(program.window()); }, 3000);
        return dialog;
    }
    std::string text(HWND dialog, int id) { return windowText(::GetDlgItem(dialog, id)); }
    bool checked(HWND dialog, int id) {
        DWORD_PTR state = 0;
        ::SendMessageTimeoutA(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 3000,
                              &state);
        return state == BST_CHECKED;
    }
    void expectShown(HWND dialog, const Shown& shown) {
        EXPECT_EQ(text(dialog, kShowWindowKey), shown.showWindowKey);
        EXPECT_EQ(text(dialog, kKeyInterval), shown.keyInterval);
        EXPECT_EQ(text(dialog, kModePrior), shown.modePrior);
        EXPECT_EQ(text(dialog, kModeNext), shown.modeNext);
        EXPECT_EQ(text(dialog, kHistoryPrior), shown.historyPrior);
        EXPECT_EQ(text(dialog, kHistoryNext), shown.historyNext);
        EXPECT_EQ(text(dialog, kHistorySize), shown.historySize);
        EXPECT_EQ(checked(dialog, kGoogleStart), shown.googleStart);
        EXPECT_EQ(checked(dialog, kWebAll), !shown.japanese);
        EXPECT_EQ(checked(dialog, kJapanesePages), shown.japanese);
    }
    void click(HWND dialog, int id) {
        RECT rect{};
        ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
        clickSettled((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
    // A click now and then is lost under Wine on its way to another
    // process: click until the click's effect shows, at most three times.
    template <class Effect>
    bool clickUntil(HWND dialog, int id, Effect effect) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            click(dialog, id);
            if (waitFor(effect, 1500)) return true;
        }
        return false;
    }
    // Clicks a button that ends the dialog and waits until it is gone.
    bool clickClosing(HWND dialog, int id) {
        return clickUntil(dialog, id, [&] { return !::IsWindow(dialog); });
    }
    // Check boxes and radio buttons get the button's own click (BM_CLICK):
    // a lost real click retried could arrive late and toggle twice.
    bool clickToggling(HWND dialog, int id) {
        const bool before = checked(dialog, id);
        ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
        return waitFor([&] { return checked(dialog, id) != before; }, 3000);
    }
    HWND focusOfProgram() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        const DWORD thread = ::GetWindowThreadProcessId(program.window(), nullptr);
        return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    }
    // Replaces a number field's text by typing, as a user does: click in
    // it, select everything, then Delete or the new characters.
    void typeInto(HWND dialog, int id, const std::string& keys) {
        HWND field = ::GetDlgItem(dialog, id);
        ASSERT_TRUE(clickUntil(dialog, id, [&] {
            return focusOfProgram() == field && ::GetForegroundWindow() == dialog;
        }));
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(::GetDlgItem(dialog, id), EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 3000,
                              &ignored);
        if (keys.empty()) {
            tap(VK_DELETE);
        } else {
            for (char c : keys) tap(static_cast<WORD>(c));
        }
    }
    // "変更" beside a key field, then one real key; true when the capture
    // dialog came and went.
    bool captureKey(HWND dialog, int button, WORD key, const char* shot = nullptr) {
        HWND capture = nullptr;
        if (!clickUntil(dialog, button, [&] { return (capture = captureWindow()) != nullptr; })) {
            return false;
        }
        EXPECT_EQ(windowText(::GetDlgItem(capture, -1)), "割り当てるキーを単独で押してください。");
        EXPECT_FALSE(::IsWindowEnabled(dialog)) << "modal over the settings dialog";
        if (shot != nullptr) screenshot(shot);
        HWND field = ::GetDlgItem(capture, 1015);
        EXPECT_TRUE(waitFor(
            [&] {
                GUITHREADINFO info{};
                info.cbSize = sizeof info;
                return ::GetGUIThreadInfo(::GetWindowThreadProcessId(capture, nullptr), &info) &&
                       info.hwndFocus == field;
            },
            3000))
            << "the key goes to the capture field";
        tap(key);
        return waitFor([&] { return !::IsWindow(capture); }, 5000);
    }
    // Sends to the search window and waits for the program to have handled
    // it; false when it did not within 3 s.
    bool sendToProgram(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
        DWORD_PTR ignored = 0;
        return ::SendMessageTimeoutA(program.window(), msg, wParam, lParam, SMTO_ABORTIFHUNG, 3000,
                                     &ignored) != 0;
    }
    void screenshot(const char* name) { takeScreenshot(std::string(LUMENVIK_SHOTS) + "/" + name); }
    bool searchWindowShows(DWORD ms = 3000) {
        return waitFor([&] { return ::IsWindowVisible(program.window()) != FALSE; }, ms);
    }

    TaskbarHolder taskbar;
    TempDir dir;
    Program program;
    MenuProbe probe;
};

TEST_F(SettingsDialogTest, ShowsEverySettingAndWhileOpenTheShowKeyAndTheIconDoNothing) {
    startWith(kCustomIni);
    HWND dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    expectShown(dialog, kCustomShown);
    screenshot("settings-dialog.png");

    // A second "設定(&S)" (the command itself: the icon is deaf now) does nothing.
    ASSERT_TRUE(sendToProgram(WM_COMMAND, 10002));
    EXPECT_EQ(findWindows(program.pid(), "#32770", kCaption).size(), 1u);
    EXPECT_EQ(settingsWindow(), dialog);

    ASSERT_FALSE(::IsWindowVisible(program.window()));
    doublePress(VK_SHIFT);  // the show key of this file
    EXPECT_FALSE(searchWindowShows(800)) << "show key while the dialog is open";
    ASSERT_TRUE(sendToProgram(kTrayNotify, 0, WM_LBUTTONDBLCLK));
    EXPECT_FALSE(::IsWindowVisible(program.window()))
        << "tray double click while the dialog is open";
    // An open menu would hold the message until it closes.
    EXPECT_TRUE(sendToProgram(kTrayNotify, 0, WM_RBUTTONDOWN));
    EXPECT_FALSE(menuShowing(program.pid())) << "tray right click while the dialog is open";

    ASSERT_TRUE(clickClosing(dialog, IDCANCEL));
    EXPECT_EQ(readFile(iniPath()), kCustomIni) << "Cancel writes nothing";
    doublePress(VK_SHIFT);
    EXPECT_TRUE(searchWindowShows()) << "the show key works again once the dialog is gone";
}

TEST_F(SettingsDialogTest, NumberFieldsTakeWhatIsTypedAndOkWritesTheFile) {
    startWith("");
    const std::string atStart = readFile(iniPath());  // the first start's
    HWND dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    expectShown(dialog, kDefaultsShown);

    typeInto(dialog, kKeyInterval, "");
    EXPECT_TRUE(waitFor([&] { return text(dialog, kKeyInterval).empty(); }, 3000));
    typeInto(dialog, kHistorySize, "AB");
    EXPECT_TRUE(waitFor([&] { return text(dialog, kHistorySize) == "ab"; }, 3000));
    EXPECT_TRUE(clickToggling(dialog, kWebAll));
    EXPECT_TRUE(clickToggling(dialog, kGoogleStart));
    ASSERT_TRUE(sendToProgram(WM_NULL));  // the clicks' handlers have finished
    EXPECT_FALSE(checked(dialog, kJapanesePages)) << "the radio buttons exclude each other";
    EXPECT_FALSE(checked(dialog, kGoogleStart));
    EXPECT_EQ(readFile(iniPath()), atStart) << "nothing is written before OK";
    ASSERT_TRUE(clickClosing(dialog, IDOK));

    EXPECT_TRUE(waitFor([&] { return ini("otherInfo", "keyInterval") == 0; }, 3000));
    EXPECT_EQ(ini("otherInfo", "historySize"), 0);
    EXPECT_EQ(ini("otherInfo", "googleStart"), 0);
    EXPECT_EQ(ini("otherInfo", "japanLocal"), 0);
    EXPECT_EQ(ini("KeyData", "showWindowKey"), 17);
    EXPECT_EQ(ini("KeyData", "mode_prior"), 33);

    // A number too large for a setting is read as the largest one, not wrapped.
    dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(text(dialog, kKeyInterval), "0");
    EXPECT_EQ(text(dialog, kHistorySize), "0");
    typeInto(dialog, kHistorySize, "4294967297");
    EXPECT_TRUE(waitFor([&] { return text(dialog, kHistorySize) == "4294967297"; }, 3000));
    ASSERT_TRUE(clickClosing(dialog, IDOK));
    EXPECT_TRUE(waitFor([&] { return ini("otherInfo", "historySize") == 2147483647; }, 3000));
}

TEST_F(SettingsDialogTest, KeysAreCapturedByTheirReleaseAndANewShowKeyWorksAtOnce) {
    startWith("");
    DebugOutput traces;
    ASSERT_TRUE(traces.attach(program.pid()));
    HWND dialog = openSettings();
    ASSERT_NE(dialog, nullptr);

    ASSERT_TRUE(captureKey(dialog, kChangeShowWindowKey, VK_SHIFT, "key-capture-dialog.png"));
    EXPECT_TRUE(waitFor([&] { return text(dialog, kShowWindowKey) == "VK_SHIFT"; }, 3000));
    // A code above 0x7F travels as a negative 8-bit number and still arrives.
    ASSERT_TRUE(captureKey(dialog, kChangeHistoryNext, VK_OEM_2));
    EXPECT_TRUE(waitFor([&] { return text(dialog, kHistoryNext) == "VK_OEM_2"; }, 3000));
    // Escape cancels: the field and the setting stay.
    ASSERT_TRUE(captureKey(dialog, kChangeModePrior, VK_ESCAPE));
    ASSERT_TRUE(sendToProgram(WM_NULL));  // the capture's caller has finished
    EXPECT_EQ(text(dialog, kModePrior), "VK_PRIOR");

    // One trace line per captured key, none for the cancelled capture.
    auto traceFor = [&](int key, int button) {
        char line[128];
        std::snprintf(line, sizeof line, "nRet = %d  notify= %d, hWndCtrl = %p\n", key, 0,
                      static_cast<void*>(::GetDlgItem(dialog, button)));
        return std::string(line);
    };
    std::vector<std::string> keyTraces;
    const std::string all = traces.text();
    for (size_t at = all.find("nRet"); at != std::string::npos; at = all.find("nRet", at + 1)) {
        const size_t end = all.find('\n', at);
        keyTraces.push_back(all.substr(at, end == std::string::npos ? end : end - at + 1));
    }
    EXPECT_EQ(keyTraces, (std::vector<std::string>{traceFor(0x10, kChangeShowWindowKey),
                                                   traceFor(0xBF, kChangeHistoryNext)}));

    // Still in effect until OK: Ctrl shows the window.
    ASSERT_TRUE(clickClosing(dialog, IDOK));
    EXPECT_TRUE(waitFor([&] { return ini("KeyData", "showWindowKey") == 16; }, 3000));
    EXPECT_EQ(ini("KeyData", "history_next"), 0xBF);
    EXPECT_EQ(ini("KeyData", "mode_prior"), 33);

    // OK handed the new key over in a posted message: a toggle posted now
    // is handled after it.
    ::PostMessageA(program.window(), 0x040A, 0, 0);
    ASSERT_TRUE(searchWindowShows());
    ::PostMessageA(program.window(), 0x040A, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !::IsWindowVisible(program.window()); }, 3000));
    doublePress(VK_CONTROL);
    EXPECT_FALSE(searchWindowShows(800)) << "Ctrl is no longer the show key";
    doublePress(VK_SHIFT);
    EXPECT_TRUE(searchWindowShows()) << "the new show key works without a restart";
}

TEST_F(SettingsDialogTest, RestoreDefaultsShowsThemAndCancelPutsTheOpeningValuesBack) {
    startWith(kCustomIni);
    HWND dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(clickUntil(dialog, kRestoreDefaults,
                           [&] { return text(dialog, kShowWindowKey) == "VK_CONTROL"; }));
    expectShown(dialog, kDefaultsShown);
    ASSERT_TRUE(sendToProgram(WM_NULL));  // the click's handler has finished
    EXPECT_EQ(readFile(iniPath()), kCustomIni) << "restore defaults writes nothing";
    // Not handed to the hook either: Shift is still the show key.
    ASSERT_TRUE(clickClosing(dialog, IDCANCEL));
    EXPECT_EQ(readFile(iniPath()), kCustomIni);

    // The values the dialog opened with are back in the live record.
    dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    expectShown(dialog, kCustomShown);
    ASSERT_TRUE(clickClosing(dialog, IDCANCEL));
    doublePress(VK_SHIFT);
    EXPECT_TRUE(searchWindowShows());
}

TEST_F(SettingsDialogTest, EscapeAfterAnEarlierOkKeepsWhatOkSavedAndTabMovesTheFocus) {
    startWith("");
    HWND dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    // The keyboard reaches the modeless dialog through the message loop's
    // dialog handling: Enter is OK, Tab moves on, Escape cancels.
    typeInto(dialog, kKeyInterval, "250");
    EXPECT_TRUE(waitFor([&] { return text(dialog, kKeyInterval) == "250"; }, 3000));
    tap(VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(dialog); }, 3000)) << "Enter is OK";
    EXPECT_TRUE(waitFor([&] { return ini("otherInfo", "keyInterval") == 250; }, 3000));

    dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(text(dialog, kKeyInterval), "250");
    HWND first = ::GetDlgItem(dialog, kShowWindowKey);
    EXPECT_TRUE(waitFor([&] { return focusOfProgram() == first; }, 3000))
        << "the dialog opens at its first field";
    ASSERT_TRUE(clickUntil(dialog, kShowWindowKey, [&] {
        return focusOfProgram() == first && ::GetForegroundWindow() == dialog;
    }));
    tap(VK_TAB);
    EXPECT_TRUE(waitFor(
        [&] { return focusOfProgram() == ::GetDlgItem(dialog, kChangeShowWindowKey); }, 3000));
    tap(VK_ESCAPE);
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(dialog); }, 3000)) << "Escape closes the dialog";

    // Cancel returned to what the dialog opened with, not to the start-up
    // values; a tray choice after it leaves the interval OK saved.
    ASSERT_TRUE(chooseTrayItem(program, probe, u8"WEB全体から検索(&W)"));
    EXPECT_TRUE(waitFor([&] { return ini("otherInfo", "japanLocal") == 0; }, 3000));
    EXPECT_EQ(ini("otherInfo", "keyInterval"), 250);
    const std::string saved = readFile(iniPath());

    // The exit path closes an open dialog and saves nothing.
    dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    typeInto(dialog, kKeyInterval, "99");
    EXPECT_TRUE(waitFor([&] { return text(dialog, kKeyInterval) == "99"; }, 3000));
    EXPECT_EQ(program.exitCleanly(), 0);
    EXPECT_EQ(readFile(iniPath()), saved);
}

}  // namespace
