#include "win/dpi.h"

namespace lumenvik::win {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
// MONITOR_DPI_TYPE::MDT_EFFECTIVE_DPI: the one windows are scaled by.
constexpr int kEffectiveDpi = 0;
using SetDialogControlDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
// DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS::DCDC_DISABLE_FONT_UPDATE.
constexpr int kDisableFontUpdate = 0x0001;
// What a screen answers at 100 % scaling, and where nothing answers.
constexpr int kDefaultDpi = 96;

// A user32 function by name, or nullptr where this Windows has none.
template <class Fn>
Fn user32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    if (user32 == nullptr) return nullptr;
    // The cast of a looked-up address to its real type is the only way to
    // call a function that may be missing.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

}  // namespace

int systemDpi() {
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return kDefaultDpi;
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
}

int windowDpi(HWND hwnd) {
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi != 0) return static_cast<int>(dpi);  // 0: not a window
    }
    return systemDpi();
}

int monitorDpi(HMONITOR monitor) {
    // Windows 8.1's shcore.dll, from the system folder only.
    static const auto getDpiForMonitor = []() -> GetDpiForMonitorFn {
        HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (shcore == nullptr) return nullptr;
        return reinterpret_cast<GetDpiForMonitorFn>(
            reinterpret_cast<void*>(::GetProcAddress(shcore, "GetDpiForMonitor")));
    }();
    UINT x = 0;
    UINT y = 0;
    if (getDpiForMonitor != nullptr && monitor != nullptr &&
        SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y != 0) {
        return static_cast<int>(y);
    }
    return systemDpi();
}

std::optional<int> systemMetricForDpi(int index, int dpi) {
    static const auto getMetric =
        user32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (getMetric == nullptr) return std::nullopt;
    const int value = getMetric(index, static_cast<UINT>(dpi));
    if (value <= 0) return std::nullopt;
    return value;
}

void keepOwnFontOnDpiChange(HWND control) {
    static const auto setBehavior =
        user32Function<SetDialogControlDpiChangeBehaviorFn>("SetDialogControlDpiChangeBehavior");
    // Ignored when it fails: the font is set again after the change anyway.
    if (setBehavior != nullptr) setBehavior(control, kDisableFontUpdate, kDisableFontUpdate);
}

}  // namespace lumenvik::win
