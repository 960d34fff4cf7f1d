#include "hook/keyboard_hook.h"

#include <atomic>
#include <cstdint>

#include "hook/copy_gesture.h"
#include "hook/double_press.h"
#include "hook/event_ring.h"
#include "hook/watchdog.h"

namespace tapwatch {

// What the callers' thread and the hook thread share. The callers write the
// window, the key and the interval at any time; the hook thread reads them
// at each event, so each value is one atomic of its own.
struct HookState {
    std::atomic<HWND> window{nullptr};
    std::atomic<int> key{DoublePressDetector::kControl};
    std::atomic<float> interval{500.0f};
    HANDLE thread = nullptr;  // the hook thread while armed
    DWORD threadId = 0;
    HANDLE ready = nullptr;  // set once the hooks are in place or failed
    std::atomic<bool> installed{false};
};

}  // namespace tapwatch

using tapwatch::HookState;

namespace {

HINSTANCE g_instance = nullptr;
// The hook thread's own part (HookThread below), found by the hook
// procedures, which the system calls on that thread.
DWORD g_tls = TLS_OUT_OF_INDEXES;
// Written by the hook thread alone, and only once a test has asked:
// zero-filled memory that costs the release no file bytes and no work.
tapwatch::EventRing g_ring;

const char kWatchClass[] = "tapwatch.watchdog";
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchTickMs = 500;

// WTSRegisterSessionNotification and its opposite, looked up when the
// thread starts: the session broadcasts are a help, not a condition.
using SessionRegister = BOOL(WINAPI*)(HWND, DWORD);
using SessionUnregister = BOOL(WINAPI*)(HWND);
constexpr DWORD kNotifyForThisSession = 0;

// Everything only the hook thread touches: the hooks, the detectors fed by
// them and the watchdog. It lives on that thread's stack.
struct HookThread {
    explicit HookThread(HookState* s) : shared(s), watchdog(::GetTickCount()) {}

    HookState* shared;
    HHOOK keyboard = nullptr;
    HHOOK mouse = nullptr;
    HWND watchWindow = nullptr;
    tapwatch::DoublePressDetector detector;
    tapwatch::CopyGestureDetector copyGesture;
    DWORD clipboardSequence = 0;  // at the copy gesture's first press
    // Ticks at which each hook last saw an event: a mouse that moves says
    // nothing about the keyboard hook.
    DWORD lastKeyEvent = 0;
    DWORD lastMouseEvent = 0;
    tapwatch::HookWatchdog watchdog;
    HMODULE wtsapi = nullptr;
    SessionUnregister unregisterSession = nullptr;

    bool install();
    void uninstall();
    void reinstall();
    // Takes the key and interval the callers set last; a new key starts the
    // detectors afresh.
    void applySettings();
};

HookThread* current() { return static_cast<HookThread*>(::TlsGetValue(g_tls)); }

// Must return quickly and always passes the key on; whatever it does must
// never wait for another thread.
LRESULT CALLBACK lowLevelKeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    HookThread* self = current();
    if (code == HC_ACTION && self != nullptr) {
        self->lastKeyEvent = ::GetTickCount();
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
        const bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
        if (down || up) {
            self->applySettings();
            HWND window = self->shared->window.load();
            const int key = static_cast<int>(info->vkCode);
            if (self->detector.onKey(key, down, info->time)) {
                ::PostMessageA(window, WM_TOGGLE_WINDOW, 0, 0);
            }
            if (g_ring.recording()) {
                g_ring.key(down, self->detector.watches(key), key,
                           static_cast<uint8_t>(self->detector.lastDecision()), info->time);
            }
            switch (self->copyGesture.onKey(key, down, info->time)) {
                case tapwatch::CopyGestureDetector::Result::firstPress:
                    self->clipboardSequence = ::GetClipboardSequenceNumber();
                    break;
                case tapwatch::CopyGestureDetector::Result::gesture:
                    ::PostMessageA(window, WM_SEARCH_COPIED_TEXT, self->clipboardSequence, 0);
                    break;
                case tapwatch::CopyGestureDetector::Result::none:
                    break;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Only tells the detectors that a button or the wheel was used (a click
// between two presses cancels them); never holds the mouse back. Moves
// count as input the hooks saw, for the watchdog.
LRESULT CALLBACK lowLevelMouseProc(int code, WPARAM wParam, LPARAM lParam) {
    HookThread* self = current();
    if (code == HC_ACTION && self != nullptr) {
        self->lastMouseEvent = ::GetTickCount();
        if (wParam != WM_MOUSEMOVE) {
            self->detector.onMouse(static_cast<unsigned>(wParam));
            self->copyGesture.onMouse(static_cast<unsigned>(wParam));
            if (g_ring.recording()) {
                g_ring.mouse(static_cast<unsigned>(wParam),
                             reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->time);
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void HookThread::applySettings() {
    const int key = shared->key.load();
    if (detector.key() != key) detector.setKey(key);
    const float interval = shared->interval.load();
    if (detector.interval() != interval) {
        detector.setInterval(interval);
        copyGesture.setInterval(interval);
    }
}

bool HookThread::install() {
    keyboard = ::SetWindowsHookExA(WH_KEYBOARD_LL, &lowLevelKeyboardProc, g_instance, 0);
    if (keyboard == nullptr) return false;
    // Without the mouse hook the double press still works, only a click no
    // longer cancels it: better than no show key at all, so a refusal here
    // does not fail the arming.
    mouse = ::SetWindowsHookExA(WH_MOUSE_LL, &lowLevelMouseProc, g_instance, 0);
    lastKeyEvent = lastMouseEvent = ::GetTickCount();
    g_ring.keyboardHook = reinterpret_cast<uintptr_t>(keyboard);
    g_ring.mouseHook = reinterpret_cast<uintptr_t>(mouse);
    return true;
}

void HookThread::uninstall() {
    // Ignored: a hook the system has already dropped is gone either way.
    if (keyboard != nullptr) ::UnhookWindowsHookEx(keyboard);
    if (mouse != nullptr) ::UnhookWindowsHookEx(mouse);
    keyboard = nullptr;
    mouse = nullptr;
}

void HookThread::reinstall() {
    uninstall();
    // A press seen before may have lost its partner: start afresh. When the
    // install fails, the next look of the watchdog tries again.
    detector = tapwatch::DoublePressDetector();
    copyGesture = tapwatch::CopyGestureDetector();
    applySettings();
    copyGesture.setInterval(detector.interval());
    // Told once the hooks are in place (or refused), so that whoever reads
    // the trace knows input typed from then on reaches them.
    ::OutputDebugStringA(install() ? "tapwatch: the hooks installed again\n"
                                   : "tapwatch: the hooks could not be installed again\n");
    watchdog.reinstalled(::GetTickCount());
    if (g_ring.recording()) g_ring.reinstalled(::GetTickCount());
}

LRESULT CALLBACK watchWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    HookThread* self = current();
    if (self != nullptr) {
        if (msg == WM_TIMER && wParam == kWatchTimer) {
            LASTINPUTINFO input{};
            input.cbSize = sizeof input;
            if (::GetLastInputInfo(&input) &&
                self->watchdog.onTick(::GetTickCount(), input.dwTime, self->lastKeyEvent,
                                      self->lastMouseEvent)) {
                self->reinstall();
            }
            return 0;
        }
        if (msg == WM_TAPWATCH_RING) {
            g_ring.start();
            return reinterpret_cast<LRESULT>(&g_ring);
        }
        if (tapwatch::HookWatchdog::reinstallAfter(msg, wParam)) self->reinstall();
    }
    if (msg == WM_POWERBROADCAST) return TRUE;
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A hidden top-level window: a message-only window would get neither the
// session nor the power broadcasts. It is never shown and has no taskbar
// button (a tool window).
HWND createWatchWindow(HookThread& self) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &watchWindowProc;
    wc.hInstance = g_instance;
    wc.lpszClassName = kWatchClass;
    // Fails harmlessly when an earlier hook thread registered it.
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowExA(WS_EX_TOOLWINDOW, kWatchClass, "", WS_POPUP, 0, 0, 0, 0,
                                    nullptr, nullptr, g_instance, nullptr);
    if (window == nullptr) return nullptr;
    ::SetTimer(window, kWatchTimer, kWatchTickMs, nullptr);
    // From the system folder only: a wtsapi32.dll planted beside the
    // program (a downloads folder) must never be the one that loads.
    self.wtsapi = ::LoadLibraryExW(L"wtsapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (self.wtsapi == nullptr) {
        // A Windows 7 without the update that brought the flag: the system
        // folder's file by its full path.
        wchar_t path[MAX_PATH + 16];
        const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcpyW(path + length, L"\\wtsapi32.dll");
            self.wtsapi = ::LoadLibraryW(path);
        }
    }
    if (self.wtsapi != nullptr) {
        auto registerSession = reinterpret_cast<SessionRegister>(reinterpret_cast<void*>(
            ::GetProcAddress(self.wtsapi, "WTSRegisterSessionNotification")));
        self.unregisterSession = reinterpret_cast<SessionUnregister>(reinterpret_cast<void*>(
            ::GetProcAddress(self.wtsapi, "WTSUnRegisterSessionNotification")));
        if (registerSession == nullptr || !registerSession(window, kNotifyForThisSession)) {
            self.unregisterSession = nullptr;
        }
    }
    return window;
}

void destroyWatchWindow(HookThread& self) {
    if (self.watchWindow != nullptr) {
        if (self.unregisterSession != nullptr) self.unregisterSession(self.watchWindow);
        ::KillTimer(self.watchWindow, kWatchTimer);
        ::DestroyWindow(self.watchWindow);
        self.watchWindow = nullptr;
    }
    if (self.wtsapi != nullptr) ::FreeLibrary(self.wtsapi);
    self.wtsapi = nullptr;
}

// The hook thread: installs both hooks, answers them and the watchdog's
// window, and does nothing else, so that no other work of the program can
// hold the desktop's input back or make the system drop the hooks.
DWORD WINAPI hookThreadMain(LPVOID param) {
    auto* shared = static_cast<HookState*>(param);
    MSG msg;
    // The queue exists before anyone is told the thread is ready, so that
    // the stop request cannot be lost.
    ::PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    HookThread self(shared);
    ::TlsSetValue(g_tls, &self);
    self.applySettings();
    self.copyGesture.setInterval(self.detector.interval());
    const bool installed = self.install();
    if (installed) {
        // Without the window the hooks still work, only unwatched.
        self.watchWindow = createWatchWindow(self);
        self.watchdog.reinstalled(::GetTickCount());
    }
    shared->installed = installed;
    ::SetEvent(shared->ready);
    if (installed) {
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    }
    destroyWatchWindow(self);
    self.uninstall();
    ::TlsSetValue(g_tls, nullptr);
    return 0;
}

void stopThread(HookState& state) {
    if (state.thread == nullptr) return;
    ::PostThreadMessageA(state.threadId, WM_QUIT, 0, 0);
    // The thread only answers hooks and its window: it ends at once.
    ::WaitForSingleObject(state.thread, INFINITE);
    ::CloseHandle(state.thread);
    state.thread = nullptr;
    state.threadId = 0;
    state.installed = false;
}

bool startThread(HookState& state) {
    if (g_tls == TLS_OUT_OF_INDEXES) return false;
    if (state.ready == nullptr) state.ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (state.ready == nullptr) return false;
    ::ResetEvent(state.ready);
    state.thread = ::CreateThread(nullptr, 0, &hookThreadMain, &state, 0, &state.threadId);
    if (state.thread == nullptr) return false;
    // It answers each event in microseconds, and must answer it even when
    // the machine is loaded: ahead of the ordinary threads. Ignored when
    // refused.
    ::SetThreadPriority(state.thread, THREAD_PRIORITY_HIGHEST);
    // Ready (hooks in place or refused), or ended before it could say so.
    const HANDLE waits[] = {state.ready, state.thread};
    ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (state.installed) return true;
    stopThread(state);
    return false;
}

}  // namespace

CKeyboardHook::CKeyboardHook() : state_(std::make_unique<HookState>()) {}

CKeyboardHook::~CKeyboardHook() {
    // Once the thread has ended, everything it posted is in the queue.
    stopThread(*state_);
    if (state_->ready != nullptr) ::CloseHandle(state_->ready);
    // A toggle already posted but not yet fetched would still arrive: take it
    // back out of the queue (possible from the window's own thread only).
    HWND window = state_->window.load();
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
    state_->key = virtualKey;
    state_->interval = intervalMs;
    if (state_->thread != nullptr) return 1;
    return startThread(*state_) ? 1 : 0;
}

void CKeyboardHook::setShowWindowKey(int virtualKey) { state_->key = virtualKey; }

// The copy gesture shares the double press's interval.
void CKeyboardHook::setIntervalTime(float intervalMs) { state_->interval = intervalMs; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        g_tls = ::TlsAlloc();
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && g_tls != TLS_OUT_OF_INDEXES) {
        ::TlsFree(g_tls);
    }
    return TRUE;
}
