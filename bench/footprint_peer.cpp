// The footprint benchmark's peer: the least a resident program with a
// double-press key can be under the same Wine. It creates one hidden
// top-level window captioned "LumenvikPeer", watches the keyboard with a
// low-level hook in its own module, and toggles the window on a second
// Ctrl press within 500 ms. WM_CLOSE ends it. Whatever this program costs
// (start-up, memory, key-to-window time) is Wine's share; what lumenvik.exe
// costs beyond it is the program's own.
//
// Built a second time with PEER_WITH_PROGRAM_DLLS, the peer also does what
// the program must do with the system's DLLs at start-up (COM, common
// controls, the input method context, a tray icon), so that the difference
// to lumenvik.exe leaves out Wine's cost of loading those DLLs.
#include <windows.h>
#ifdef PEER_WITH_PROGRAM_DLLS
#include <commctrl.h>
#include <imm.h>
#include <objbase.h>
#include <shellapi.h>
#endif

namespace {

HWND g_window = nullptr;
HHOOK g_hook = nullptr;
DWORD g_firstPress = 0;
bool g_held = false;
bool g_armed = false;

LRESULT CALLBACK keyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool ctrl = info->vkCode == VK_CONTROL || info->vkCode == VK_LCONTROL ||
                          info->vkCode == VK_RCONTROL;
        if (!ctrl) {
            g_armed = false;
        } else if (wParam == WM_KEYDOWN && !g_held) {
            g_held = true;
            if (g_armed && info->time - g_firstPress <= 500) {
                g_armed = false;
                ::PostMessageA(g_window, WM_APP, 0, 0);
            } else {
                g_armed = true;
                g_firstPress = info->time;
            }
        } else if (wParam == WM_KEYUP) {
            g_held = false;
        }
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_APP:
            ::ShowWindow(hwnd, ::IsWindowVisible(hwnd) ? SW_HIDE : SW_SHOW);
            return 0;
        case WM_DESTROY:
#ifdef PEER_WITH_PROGRAM_DLLS
        {
            NOTIFYICONDATAA icon{};
            icon.cbSize = sizeof icon;
            icon.hWnd = hwnd;
            ::Shell_NotifyIconA(NIM_DELETE, &icon);
        }
#endif
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef PEER_WITH_PROGRAM_DLLS
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES;
    ::InitCommonControlsEx(&controls);
#endif
    WNDCLASSA wc{};
    wc.lpfnWndProc = &windowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "LumenvikPeer";
    ::RegisterClassA(&wc);
    // The size of the search window, topmost, as a tool window.
    g_window = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "LumenvikPeer",
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU, 300, 300, 580, 90, nullptr,
                                 nullptr, instance, nullptr);
    if (g_window == nullptr) return 1;
#ifdef PEER_WITH_PROGRAM_DLLS
    HIMC himc = ::ImmGetContext(g_window);
    ::ImmReleaseContext(g_window, himc);
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = g_window;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    ::lstrcpynA(icon.szTip, "LumenvikPeer", sizeof icon.szTip);
    ::Shell_NotifyIconA(NIM_ADD, &icon);
#endif
    g_hook = ::SetWindowsHookExA(WH_KEYBOARD_LL, &keyboardProc, instance, 0);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (g_hook != nullptr) ::UnhookWindowsHookEx(g_hook);
#ifdef PEER_WITH_PROGRAM_DLLS
    ::CoUninitialize();
#endif
    return 0;
}
