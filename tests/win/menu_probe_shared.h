#pragma once
// What menu_probe.dll (inside the program) and the tests share: a named
// block of memory and a registered message.

#include <windows.h>

namespace lvtest {

constexpr char kProbeMemoryName[] = "lvtest.menuprobe.memory";
constexpr char kProbeReadMessage[] = "lvtest.menuprobe.read";
// Sent to the search window: wParam kImeNoContext takes its input context
// away, kImeCloseFails makes the program's ImmSetOpenStatus fail.
constexpr char kProbeImeMessage[] = "lvtest.menuprobe.ime";
constexpr WPARAM kImeNoContext = 0;
constexpr WPARAM kImeCloseFails = 1;
// wParam kImeReadOpen reads ImmGetOpenStatus of the search box's context
// into imeOpen (-1 without a context) and changes nothing.
constexpr WPARAM kImeReadOpen = 2;
// Sent to the search window: wParam 1 makes the program's Shell_NotifyIconA
// fail, as before the taskbar exists; 0 gives it back.
constexpr char kProbeTrayMessage[] = "lvtest.menuprobe.tray";
// Sent to the search window: reads the search box's font height into
// boxFontHeight (another process's WM_GETFONT gives nothing under Wine).
// A non-zero wParam first sends the window WM_DPICHANGED for that
// resolution with dpiSuggested, as Windows does on a move between monitors.
constexpr char kProbeFontMessage[] = "lvtest.menuprobe.font";

// Sent (without waiting) to the search window: the program's GUI thread
// sleeps wParam milliseconds, as it does inside a slow shell call.
constexpr char kProbeBusyMessage[] = "lvtest.menuprobe.busy";

// Sent to the search window: wParam is a hook of the program's that the
// probe removes (UnhookWindowsHookEx), as Windows drops a hook that answered
// too slowly; the outcome goes to unhooked (1 removed, 0 refused).
constexpr char kProbeUnhookMessage[] = "lvtest.menuprobe.unhook";

struct ProbeMemory {
    // Set by the test: the window whose WM_DESTROY is watched.
    HWND destroyWatch;
    // Whether that window's tray icon (id 0) still existed when WM_DESTROY
    // reached it: -1 not seen yet, 0 gone, 1 present.
    LONG iconAtDestroy;
    // Answer to kProbeImeMessage: 1 done, 0 failed. Then the calls the
    // failing ImmSetOpenStatus took.
    LONG imeBroken;
    LONG imeCloseCalls;
    // Answer to kProbeTrayMessage: 1 done, 0 failed. Then the calls the
    // failing Shell_NotifyIconA took.
    LONG trayBroken;
    LONG trayCalls;
    // Answer to kProbeReadMessage: one block per open popup menu window,
    // "menu\n" then one line per item:
    // position \t id \t kind (s string, - separator, > submenu) \t checked
    // \t left,top,right,bottom (screen) \t text
    char menus[60000];
    // Set by the test: the rectangle WM_DPICHANGED suggests. Answer to
    // kProbeFontMessage: the font's lfHeight, 0 when there is none.
    RECT dpiSuggested;
    LONG boxFontHeight;
    LONG imeOpen;
    LONG unhooked;
};

}  // namespace lvtest
