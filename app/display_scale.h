#pragma once
// The sizes the program sets itself, at the resolution of the monitor its
// window is on (96 DPI is 100 % scaling). Windows scales the dialogs made
// from templates; the search box's font, the icons and the window's place
// are the program's own choice.

namespace lumenvik {

constexpr int kBaseDpi = 96;
// The search box's font height at 96 DPI, in pixels.
constexpr int kSearchBoxFontHeight = 30;

// `value` pixels at `fromDpi` as pixels at `toDpi`, rounded half away from
// zero as MulDiv rounds. A resolution that is not positive (a query that
// failed) leaves the value as it is.
int scaleForDpi(int value, int toDpi, int fromDpi = kBaseDpi);

// The pixel size to load an icon at for a window at `dpi`, from the
// system's size for it (SM_CXICON, SM_CXSMICON) measured at `systemDpi`.
int iconSizeForDpi(int systemSize, int systemDpi, int dpi);

}  // namespace lumenvik
