// The show key through the real program: it never holds the desktop's input
// back while the program is busy, and the registered hot key of the
// settings file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "hook/messages.h"
#include "hook/watchdog.h"
#include "tests/win/debug_output.h"
#include "tests/win/program_driver.h"
#include "tests/win/tray_driver.h"

namespace {

using namespace lvtest;

// Traced once the hooks are back in place: the keys typed after it reach
// them.
const char kReinstall[] = "tapwatch: the hooks installed again";

class ShowKeyTest : public ::testing::Test {
  protected:
    void startWith(const std::string& ini) {
        if (!ini.empty()) writeFile(dir.file("lumenvik.ini"), ini);
        ASSERT_TRUE(program.start(dir.path()));
        ASSERT_TRUE(program.waitReady());
    }
    bool waitVisible(bool visible, DWORD ms = 3000) {
        return waitFor(
            [&] { return ::IsWindowVisible(program.window()) == (visible ? TRUE : FALSE); }, ms);
    }
    // The program's visible dialogs other than the search window that have
    // no edit control: its message boxes.
    std::vector<HWND> messageBoxes() {
        std::vector<HWND> boxes;
        for (HWND w : findWindows(program.pid(), "#32770", nullptr)) {
            if (w != program.window() && ::IsWindowVisible(w) &&
                ::FindWindowExA(w, nullptr, "Edit", nullptr) == nullptr) {
                boxes.push_back(w);
            }
        }
        return boxes;
    }

    TaskbarHolder taskbar;
    TempDir dir;
    Program program;
};

TEST_F(ShowKeyTest, KeysReachAnotherWindowWhileTheProgramIsBusyAndADoubleCtrlMeanwhileShowsIt) {
    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                                  80, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    startWith("");
    ::SetForegroundWindow(edit);
    ::SetFocus(edit);
    pumpUntil(300, [] { return false; });

    MenuProbe probe;
    ASSERT_TRUE(probe.attach(program.window()));
    ASSERT_TRUE(probe.keepBusy(4000));
    ::Sleep(100);  // the program takes the request and goes to sleep

    // A low-level hook whose thread does not answer holds every event until
    // it does, up to 2 s each under Wine: with the hooks answered by the
    // busy GUI thread these three keys took 3.97 s, with a thread of their
    // own 0.1 s.
    const DWORD start = ::GetTickCount();
    tap('A');
    tap('B');
    tap('C');
    const bool arrived = pumpUntil(6000, [&] {
        char text[16] = {};
        ::GetWindowTextA(edit, text, sizeof text);
        return std::string(text) == "abc";
    });
    const DWORD took = ::GetTickCount() - start;
    EXPECT_TRUE(arrived);
    EXPECT_LT(took, 600u) << "three keys took " << took << " ms";

    doublePress(VK_CONTROL);
    // Still busy: the keys above came through while it was.
    EXPECT_FALSE(probe.waitNotBusy(0)) << "the program was no longer busy";
    EXPECT_FALSE(::IsWindowVisible(program.window())) << "shown while the program was busy";
    EXPECT_TRUE(probe.waitNotBusy(10000));
    EXPECT_TRUE(waitVisible(true)) << "the double Ctrl made while busy was lost\n"
                                   << program.hookEvents();
    ::DestroyWindow(edit);
    EXPECT_EQ(program.exitCleanly(), 0);
}

// How often the hook thread's traces tell of a re-install.
size_t reinstalls(const std::string& traces) {
    size_t count = 0;
    for (size_t at = traces.find(kReinstall); at != std::string::npos;
         at = traces.find(kReinstall, at + 1)) {
        ++count;
    }
    return count;
}

TEST_F(ShowKeyTest, AHookDroppedIsInstalledAgainInTimeButNotWhileTheHooksSeeTheInput) {
    startWith("");
    DebugOutput traces;
    ASSERT_TRUE(traces.attach(program.pid()));
    // The broadcasts reach top-level windows only: the hook thread's is one,
    // never shown, without a taskbar button.
    const std::vector<HWND> watch = findWindows(program.pid(), "tapwatch.watchdog", nullptr);
    ASSERT_EQ(watch.size(), 1u);
    EXPECT_EQ(::GetParent(watch[0]), nullptr);
    EXPECT_FALSE(::IsWindowVisible(watch[0]));
    EXPECT_NE(::GetWindowLongPtrA(watch[0], GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);

    // Keys and moves the hooks see, for longer than the watchdog waits.
    for (int i = 0; i < 10; ++i) {
        tap(VK_SHIFT);
        ASSERT_TRUE(
            runHostCommand("/usr/bin/xdotool mousemove " + std::to_string(300 + 20 * i) + " 500"));
        ::Sleep(200);
    }
    EXPECT_EQ(reinstalls(traces.text()), 0u) << "re-installed needlessly";

    // The keyboard hook dropped, as Windows drops one that answered too
    // slowly: the keys typed next reach no hook, and the watchdog must put
    // it back within its limit (the missed input's age, plus one look).
    MenuProbe probe;
    ASSERT_TRUE(probe.attach(program.window()));
    ASSERT_TRUE(probe.dropHook(program.keyboardHook()));
    const DWORD dropped = ::GetTickCount();
    const DWORD limit = tapwatch::HookWatchdog::kMissedInputMs + 500;
    const bool back = waitFor(
        [&] {
            tap(VK_SHIFT);
            return reinstalls(traces.text()) == 1;
        },
        limit + 500);
    const DWORD took = ::GetTickCount() - dropped;
    EXPECT_TRUE(back) << "not installed again within " << took << " ms\n" << program.hookEvents();
    doublePress(VK_CONTROL);
    EXPECT_TRUE(waitVisible(true)) << "the hook installed again does not work\n"
                                   << inputState(program);
    ::PostMessageA(program.window(), WM_TOGGLE_WINDOW, 0, 0);
    ASSERT_TRUE(waitVisible(false));

    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(watch[0], WM_WTSSESSION_CHANGE, 0x8 /* WTS_SESSION_UNLOCK */, 0,
                          SMTO_NORMAL, 3000, &ignored);
    ::SendMessageTimeoutA(watch[0], WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, SMTO_NORMAL, 3000,
                          &ignored);
    EXPECT_TRUE(waitFor([&] { return reinstalls(traces.text()) == 3; }, 3000)) << traces.text();
    doublePress(VK_CONTROL);
    EXPECT_TRUE(waitVisible(true)) << "the hooks installed again do not work\n"
                                   << inputState(program);
    traces.detach();
    EXPECT_EQ(program.exitCleanly(), 0);
}

TEST_F(ShowKeyTest, TheHotKeyOfTheSettingsFileTogglesTheWindow) {
    startWith("[Options]\r\nhotKey=Ctrl+Alt+Space\r\n");
    EXPECT_TRUE(messageBoxes().empty());
    ASSERT_TRUE(runHostCommand("/usr/bin/xdotool key ctrl+alt+space"));
    EXPECT_TRUE(waitVisible(true, 5000));
    ASSERT_TRUE(runHostCommand("/usr/bin/xdotool key ctrl+alt+space"));
    EXPECT_TRUE(waitVisible(false, 5000));
    EXPECT_EQ(program.exitCleanly(), 0);
}

TEST_F(ShowKeyTest, AHotKeyThatCannotBeUsedGivesOneMessageAndTheDoublePressStillWorks) {
    struct Case {
        const char* value;
        const char* reason;  // a piece of the message
        bool holdIt;         // the test itself holds the combination
    };
    const Case cases[] = {
        {"Ctrl+Alt+Spcae", "「Spcae」", false},
        {"Ctrl+Alt+Space", "他のプログラム", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const bool held = c.holdIt && ::RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, VK_SPACE);
        ASSERT_EQ(held, c.holdIt);
        writeFile(dir.file("lumenvik.ini"), std::string("[Options]\r\nhotKey=") + c.value);
        ASSERT_TRUE(program.start(dir.path()));
        ASSERT_TRUE(waitFor([&] { return !messageBoxes().empty(); }, 15000));
        ::Sleep(500);  // a second box would be up by now
        const std::vector<HWND> boxes = messageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        const std::string text = windowText(::GetDlgItem(boxes[0], 0xFFFF));
        EXPECT_NE(text.find(std::string("hotKey=") + c.value), std::string::npos) << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
        ::PostMessageA(boxes[0], WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(waitFor([&] { return messageBoxes().empty(); }, 5000));
        doublePress(VK_CONTROL);
        EXPECT_TRUE(waitVisible(true)) << program.hookEvents();
        EXPECT_EQ(program.exitCleanly(), 0);
        program.stop();
        if (held) ::UnregisterHotKey(nullptr, 7);
    }
}

}  // namespace
