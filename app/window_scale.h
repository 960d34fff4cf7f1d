#pragma once
// The sizes the search window sets itself at its monitor's scaling: its
// icons, large and small, and the search box's font. Made anew when the
// window moves to a monitor of another scaling (WM_DPICHANGED).

#include <windows.h>

#include "win/owned_handle.h"

namespace lumenvik {

class WindowScale {
  public:
    // The icons of `window` and the font of `box` for a window at `dpi`.
    // What cannot be made is left as it was: a window without its icon, or
    // a box with its old font, works the same.
    void apply(HWND window, HWND box, int dpi);
    // WM_DPICHANGED: the window takes the size and place Windows suggests
    // (when it suggests one), then the sizes of the new scaling.
    void dpiChanged(HWND window, HWND box, int dpi, const RECT* suggested);

    // The window is destroyed before the icons and the font it uses go.
  private:
    win::OwnedIcon bigIcon_;
    win::OwnedIcon smallIcon_;
    win::OwnedFont boxFont_;
};

// Sent when the window moves to a monitor of another scaling (or the
// scaling changes); older headers lack the name.
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED

}  // namespace lumenvik
