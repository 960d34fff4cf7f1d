#pragma once
// The program's private window messages, defined once for everything that
// sends or takes them: the keyboard hook (this library), the settings
// dialog and the search window. Their numbers are fixed.

#include <windows.h>

// Posted by the keyboard hook to the armed window on each double press.
#define WM_TOGGLE_WINDOW (WM_USER + 10)
// Posted by the settings dialog after it saved the file: hand the show key
// and the interval to the keyboard hook again.
#define WM_APPLY_HOOK_SETTINGS (WM_USER + 11)
// Posted by the keyboard hook on Ctrl+C, C (the copy gesture); wParam is the
// clipboard's sequence number taken at the first press, before the program
// in front copied.
#define WM_SEARCH_COPIED_TEXT (WM_USER + 12)
// Posted by the settings dialog's button 検索サイト: open the search-site
// dialog over it.
#define WM_OPEN_SEARCH_SITES (WM_USER + 13)
// Sent by a test to the keyboard hook's own window (class
// "tapwatch.watchdog"): from then on the hook thread keeps its ring of
// recent events (hook/event_ring.h); the answer is the ring's address in
// the program.
#define WM_TAPWATCH_RING (WM_USER + 20)
// The tray icon's callback; lParam is the mouse message.
#define WM_TRAY_NOTIFY (WM_APP + 10)

static_assert(WM_TOGGLE_WINDOW == 0x040A, "the hook library posts 0x040A");
static_assert(WM_APPLY_HOOK_SETTINGS == 0x040B, "the settings dialog posts 0x040B");
static_assert(WM_SEARCH_COPIED_TEXT == 0x040C, "the hook library posts 0x040C");
static_assert(WM_TAPWATCH_RING == 0x0414, "the tests send 0x0414");
static_assert(WM_TRAY_NOTIFY == 0x800A, "tray callback message");
