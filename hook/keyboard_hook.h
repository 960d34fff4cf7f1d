#pragma once
// tapwatch.dll: watches the whole desktop's keyboard for a double press of
// one key and tells a window about it with WM_TOGGLE_WINDOW; Ctrl+C, C
// within the same interval it tells with WM_SEARCH_COPIED_TEXT. It watches
// the mouse too, only so that a click or a wheel turn between the presses
// cancels them.
//
// The hooks live on a thread of the library's own that does nothing but
// answer them: the system holds every key and mouse event of the desktop
// until a low-level hook has answered, and drops a hook that answers too
// slowly. A watchdog on that thread installs them again when the system
// saw input they did not, and after the session's unlock and the resume
// from sleep.

#include <windows.h>

#include <memory>

#include "hook/messages.h"  // WM_TOGGLE_WINDOW, WM_SEARCH_COPIED_TEXT

#ifdef TAPWATCH_BUILD
#define TAPWATCH_API __declspec(dllexport)
#else
#define TAPWATCH_API __declspec(dllimport)
#endif

namespace tapwatch {
struct HookState;
}

class TAPWATCH_API CKeyboardHook {
  public:
    CKeyboardHook();
    // Disarms the hook; no message from this object arrives afterwards.
    ~CKeyboardHook();

    // Arms the hook for `window` with the key and the interval in
    // milliseconds; returns once the hooks are in place. Non-zero when
    // armed, 0 when they cannot be. The messages are posted to `window`.
    // Call the destructor from the window's thread, so that it can take
    // messages posted and not yet fetched back out of the queue.
    int set(HWND window, int virtualKey, float intervalMs);
    // Both take effect at the next key event; callable from any thread.
    void setShowWindowKey(int virtualKey);
    void setIntervalTime(float intervalMs);

  private:
    CKeyboardHook(const CKeyboardHook&);
    CKeyboardHook& operator=(const CKeyboardHook&);

    std::unique_ptr<tapwatch::HookState> state_;
};
