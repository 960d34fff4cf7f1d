#pragma once
// tapwatch.dll: watches the whole desktop's keyboard for a double press of
// one key and tells a window about it with WM_TOGGLE_WINDOW; Ctrl+C, C
// within the same interval it tells with WM_SEARCH_COPIED_TEXT. It watches
// the mouse too, only so that a click or a wheel turn between the presses
// cancels them.

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
    // milliseconds. Non-zero when armed, 0 when it cannot be armed. Call it
    // from the thread that runs the window's message loop: the system calls
    // the hook on that thread.
    int set(HWND window, int virtualKey, float intervalMs);
    void setShowWindowKey(int virtualKey);
    void setIntervalTime(float intervalMs);

  private:
    CKeyboardHook(const CKeyboardHook&);
    CKeyboardHook& operator=(const CKeyboardHook&);

    std::unique_ptr<tapwatch::HookState> state_;
};
