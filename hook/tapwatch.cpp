#include "hook/keyboard_hook.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "hook/copy_gesture.h"
#include "hook/double_press.h"

namespace tapwatch {

struct HookState {
    HWND window = nullptr;
    tapwatch::DoublePressDetector detector;
    tapwatch::CopyGestureDetector copyGesture;
    DWORD clipboardSequence = 0;  // at the gesture's first press
    bool armed = false;
};

}  // namespace tapwatch

using tapwatch::HookState;

namespace {

HINSTANCE g_instance = nullptr;
// One keyboard and one mouse hook for the whole process, shared by every
// armed object. The system calls a low-level hook procedure on the thread
// that installed it, the same thread that arms and disarms the objects, so
// the list needs no lock.
HHOOK g_hook = nullptr;
HHOOK g_mouseHook = nullptr;
std::vector<HookState*> g_armed;

// Must return quickly (the system drops slow low-level hooks) and always
// passes the key on.
LRESULT CALLBACK lowLevelKeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
        const bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
        if (down || up) {
            for (HookState* state : g_armed) {
                const int key = static_cast<int>(info->vkCode);
                if (state->detector.onKey(key, down, info->time)) {
                    ::PostMessageA(state->window, WM_TOGGLE_WINDOW, 0, 0);
                }
                switch (state->copyGesture.onKey(key, down, info->time)) {
                    case tapwatch::CopyGestureDetector::Result::firstPress:
                        state->clipboardSequence = ::GetClipboardSequenceNumber();
                        break;
                    case tapwatch::CopyGestureDetector::Result::gesture:
                        ::PostMessageA(state->window, WM_SEARCH_COPIED_TEXT,
                                       state->clipboardSequence, 0);
                        break;
                    case tapwatch::CopyGestureDetector::Result::none:
                        break;
                }
            }
        }
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

// Only tells the detectors that a button or the wheel was used (a click
// between two presses cancels them); never holds the mouse back.
LRESULT CALLBACK lowLevelMouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam != WM_MOUSEMOVE) {
        for (HookState* state : g_armed) {
            state->detector.onMouse(static_cast<unsigned>(wParam));
            state->copyGesture.onMouse(static_cast<unsigned>(wParam));
        }
    }
    return ::CallNextHookEx(g_mouseHook, code, wParam, lParam);
}

bool arm(HookState* state) {
    if (g_hook == nullptr) {
        g_hook = ::SetWindowsHookExA(WH_KEYBOARD_LL, &lowLevelKeyboardProc, g_instance, 0);
        if (g_hook == nullptr) return false;
        // Without the mouse hook the double press still works, only a click
        // no longer cancels it: better than no show key at all, so a refusal
        // here does not fail the arming.
        g_mouseHook = ::SetWindowsHookExA(WH_MOUSE_LL, &lowLevelMouseProc, g_instance, 0);
    }
    g_armed.push_back(state);
    state->armed = true;
    return true;
}

void disarm(HookState* state) {
    if (!state->armed) return;
    state->armed = false;
    g_armed.erase(std::remove(g_armed.begin(), g_armed.end(), state), g_armed.end());
    if (g_armed.empty()) {
        // Ignored: a hook the system has already dropped is gone either way.
        if (g_hook != nullptr) ::UnhookWindowsHookEx(g_hook);
        if (g_mouseHook != nullptr) ::UnhookWindowsHookEx(g_mouseHook);
        g_hook = nullptr;
        g_mouseHook = nullptr;
    }
}

}  // namespace

CKeyboardHook::CKeyboardHook() : state_(std::make_unique<HookState>()) {}

CKeyboardHook::~CKeyboardHook() {
    disarm(state_.get());
    // A toggle already posted but not yet fetched would still arrive: take it
    // back out of the queue (possible from the window's own thread only).
    HWND window = state_->window;
    if (window != nullptr && ::IsWindow(window) &&
        ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
        MSG msg;
        while (::PeekMessageA(&msg, window, WM_TOGGLE_WINDOW, WM_TOGGLE_WINDOW, PM_REMOVE)) {
        }
        while (
            ::PeekMessageA(&msg, window, WM_SEARCH_COPIED_TEXT, WM_SEARCH_COPIED_TEXT, PM_REMOVE)) {
        }
    }
}

int CKeyboardHook::set(HWND window, int virtualKey, float intervalMs) {
    if (window == nullptr || !::IsWindow(window)) return 0;
    state_->window = window;
    state_->detector.setKey(virtualKey);
    state_->detector.setInterval(intervalMs);
    state_->copyGesture.setInterval(intervalMs);
    if (state_->armed) return 1;
    return arm(state_.get()) ? 1 : 0;
}

void CKeyboardHook::setShowWindowKey(int virtualKey) { state_->detector.setKey(virtualKey); }

// The copy gesture shares the double press's interval.
void CKeyboardHook::setIntervalTime(float intervalMs) {
    state_->detector.setInterval(intervalMs);
    state_->copyGesture.setInterval(intervalMs);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
