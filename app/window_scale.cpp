#include "app/window_scale.h"

#include <utility>

#include "app/display_scale.h"
#include "resources/resource.h"
#include "win/dpi.h"

namespace lumenvik {

namespace {

// Icon 128 at the size the system metric `metric` calls for at `dpi`.
HICON loadAppIcon(int metric, int dpi) {
    const int size =
        win::systemMetricForDpi(metric, dpi)
            .value_or(iconSizeForDpi(::GetSystemMetrics(metric), win::systemDpi(), dpi));
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                           MAKEINTRESOURCEW(IDI_APP_ICON), IMAGE_ICON, size, size,
                                           LR_DEFAULTCOLOR));
}

}  // namespace

void WindowScale::apply(HWND window, HWND box, int dpi) {
    // The old icons go once the window holds the new ones.
    win::OwnedIcon large(loadAppIcon(SM_CXICON, dpi));
    win::OwnedIcon little(loadAppIcon(SM_CXSMICON, dpi));
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little.get()));
    bigIcon_ = std::move(large);
    smallIcon_ = std::move(little);

    win::OwnedFont font(::CreateFontW(scaleForDpi(kSearchBoxFontHeight, dpi), 0, 0, 0, FW_NORMAL,
                                      FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN,
                                      L"ＭＳ ゴシック"));
    if (!font) return;
    ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    boxFont_ = std::move(font);
}

void WindowScale::dpiChanged(HWND window, HWND box, int dpi, const RECT* suggested) {
    // So the window stays under the cursor of a user dragging it.
    if (suggested != nullptr) {
        ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    apply(window, box, dpi);
}

}  // namespace lumenvik
