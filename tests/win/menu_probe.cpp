// menu_probe.dll: loaded into lumenvik.exe through a WH_CALLWNDPROC hook that
// a test sets on the program's GUI thread. Another process cannot read a
// program's menus under Wine, so this reads them where they live, and
// watches the search window's WM_DESTROY for the tray icon's removal. It
// also breaks the input method on request (Wine's never fails to close).
#include <windows.h>
#include <imm.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "tests/win/menu_probe_shared.h"

namespace {

using lvtest::ProbeMemory;

struct MenuWindows {
    HWND found[8];
    int count;
};

BOOL CALLBACK collectMenuWindow(HWND hwnd, LPARAM param) {
    auto* windows = reinterpret_cast<MenuWindows*>(param);
    char cls[16] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32768") == 0 && ::IsWindowVisible(hwnd) && windows->count < 8) {
        windows->found[windows->count++] = hwnd;
    }
    return TRUE;
}

std::string describe(HWND menuWindow) {
    std::string out = "menu\n";
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(menuWindow, 0x01E1 /*MN_GETHMENU*/, 0, 0));
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        char kind = 's';
        if (::GetSubMenu(menu, i) != nullptr) {
            kind = '>';
        } else if (state & MF_SEPARATOR) {
            kind = '-';
        }
        // Read as UTF-16, handed on as UTF-8: right whatever the program's
        // code page.
        wchar_t wide[256] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), wide, 256, MF_BYPOSITION);
        char text[768] = {};
        ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        RECT rect{};
        ::GetMenuItemRect(menuWindow, menu, static_cast<UINT>(i), &rect);
        char line[1024];
        std::snprintf(line, sizeof line, "%d\t%d\t%c\t%d\t%ld,%ld,%ld,%ld\t%s\n", i,
                      static_cast<int>(::GetMenuItemID(menu, i)), kind,
                      (state & MF_CHECKED) ? 1 : 0, rect.left, rect.top, rect.right, rect.bottom,
                      text);
        out += line;
    }
    return out;
}

bool iconExists(HWND owner) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = owner;
    probe.uID = 0;
    return ::Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

ProbeMemory* g_memory = nullptr;  // the view the failing calls count in
ULONG_PTR g_realShellNotifyIcon = 0;

BOOL WINAPI failingSetOpenStatus(HIMC, BOOL) {
    if (g_memory != nullptr) ::InterlockedIncrement(&g_memory->imeCloseCalls);
    return FALSE;
}

BOOL WINAPI failingShellNotifyIcon(DWORD, PNOTIFYICONDATAW) {
    if (g_memory != nullptr) ::InterlockedIncrement(&g_memory->trayCalls);
    return FALSE;
}

// Points the program's import of the function at `from` to `to`.
bool patchImport(ULONG_PTR from, ULONG_PTR to) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    if (base == nullptr || from == 0) return false;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    for (; import->Name != 0; ++import) {
        auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; thunk->u1.Function != 0; ++thunk) {
            if (thunk->u1.Function != from) continue;
            DWORD old = 0;
            if (!::VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, PAGE_READWRITE,
                                  &old)) {
                return false;
            }
            thunk->u1.Function = to;
            ::VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

ULONG_PTR exported(const char* dll, const char* name) {
    HMODULE module = ::GetModuleHandleA(dll);
    return module != nullptr ? reinterpret_cast<ULONG_PTR>(::GetProcAddress(module, name)) : 0;
}

// Maps the block for the failing calls' counts, for as long as the program
// runs (the test holds the mapping as long as that).
bool mapCounts(HANDLE mapping) {
    if (g_memory == nullptr) {
        g_memory = static_cast<ProbeMemory*>(
            ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ProbeMemory)));
    }
    return g_memory != nullptr;
}

void answer(const CWPSTRUCT& message) {
    static const UINT readMessage = ::RegisterWindowMessageA(lvtest::kProbeReadMessage);
    static const UINT imeMessage = ::RegisterWindowMessageA(lvtest::kProbeImeMessage);
    static const UINT trayMessage = ::RegisterWindowMessageA(lvtest::kProbeTrayMessage);
    static const UINT fontMessage = ::RegisterWindowMessageA(lvtest::kProbeFontMessage);
    static const UINT busyMessage = ::RegisterWindowMessageA(lvtest::kProbeBusyMessage);
    static const UINT unhookMessage = ::RegisterWindowMessageA(lvtest::kProbeUnhookMessage);
    if (message.message == busyMessage) {
        ::Sleep(static_cast<DWORD>(message.wParam));
        return;
    }
    if (message.message != readMessage && message.message != imeMessage &&
        message.message != trayMessage && message.message != fontMessage &&
        message.message != unhookMessage && message.message != WM_DESTROY) {
        return;
    }
    HANDLE mapping = ::OpenFileMappingA(FILE_MAP_WRITE, FALSE, lvtest::kProbeMemoryName);
    if (mapping == nullptr) return;
    auto* memory = static_cast<ProbeMemory*>(
        ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ProbeMemory)));
    if (memory != nullptr) {
        if (message.message == imeMessage) {
            bool done = false;
            if (message.wParam == lvtest::kImeNoContext) {
                ::ImmAssociateContext(message.hwnd, nullptr);
                HIMC left = ::ImmGetContext(message.hwnd);
                done = left == nullptr;
                if (left != nullptr) ::ImmReleaseContext(message.hwnd, left);
            } else if (message.wParam == lvtest::kImeReadOpen) {
                HWND box = ::GetDlgItem(message.hwnd, 1002);
                HIMC context = ::ImmGetContext(box);
                memory->imeOpen = context == nullptr ? -1 : (::ImmGetOpenStatus(context) ? 1 : 0);
                if (context != nullptr) ::ImmReleaseContext(box, context);
                done = context != nullptr;
            } else if (message.wParam == lvtest::kImeCloseFails) {
                done = mapCounts(mapping) &&
                       patchImport(exported("imm32.dll", "ImmSetOpenStatus"),
                                   reinterpret_cast<ULONG_PTR>(&failingSetOpenStatus));
            }
            memory->imeBroken = done ? 1 : 0;
        } else if (message.message == trayMessage) {
            const auto failing = reinterpret_cast<ULONG_PTR>(&failingShellNotifyIcon);
            bool done = false;
            if (message.wParam != 0 && g_realShellNotifyIcon == 0) {
                g_realShellNotifyIcon = exported("shell32.dll", "Shell_NotifyIconW");
                done = mapCounts(mapping) && patchImport(g_realShellNotifyIcon, failing);
            } else if (message.wParam == 0 && g_realShellNotifyIcon != 0) {
                done = patchImport(failing, g_realShellNotifyIcon);
                g_realShellNotifyIcon = 0;
            }
            memory->trayBroken = done ? 1 : 0;
        } else if (message.message == fontMessage) {
            if (message.wParam != 0) {
                const WORD dpi = static_cast<WORD>(message.wParam);
                ::SendMessageA(message.hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                               reinterpret_cast<LPARAM>(&memory->dpiSuggested));
            }
            const auto font = reinterpret_cast<HFONT>(
                ::SendMessageA(::GetDlgItem(message.hwnd, 1002), WM_GETFONT, 0, 0));
            LOGFONTA log{};
            memory->boxFontHeight =
                ::GetObjectA(font, sizeof log, &log) == sizeof log ? log.lfHeight : 0;
        } else if (message.message == unhookMessage) {
            memory->unhooked =
                ::UnhookWindowsHookEx(reinterpret_cast<HHOOK>(message.wParam)) ? 1 : 0;
        } else if (message.message == WM_DESTROY) {
            if (message.hwnd == memory->destroyWatch && memory->destroyWatch != nullptr) {
                memory->iconAtDestroy = iconExists(message.hwnd) ? 1 : 0;
            }
        } else {
            MenuWindows windows{};
            ::EnumThreadWindows(::GetCurrentThreadId(), &collectMenuWindow,
                                reinterpret_cast<LPARAM>(&windows));
            std::string all;
            for (int i = 0; i < windows.count; ++i) all += describe(windows.found[i]);
            lstrcpynA(memory->menus, all.c_str(), sizeof memory->menus);
        }
        ::UnmapViewOfFile(memory);
    }
    ::CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    probeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) answer(*reinterpret_cast<const CWPSTRUCT*>(lParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
