#pragma once
// The display resolution of windows. The functions that answer it per
// monitor came with Windows 10 (1607 and 1703): they are looked up when the
// program runs, and where they are missing the answers are the system's
// resolution, so the program starts and runs on every supported Windows.

#include <windows.h>

#include <optional>

namespace lumenvik::win {

// The resolution the system draws at: LOGPIXELSY of the screen (96 at
// 100 % scaling).
int systemDpi();

// The resolution of the window as it is drawn (its monitor's under
// per-monitor awareness): GetDpiForWindow, else the system's.
int windowDpi(HWND hwnd);

// The resolution of `monitor` (its effective DPI): GetDpiForMonitor, else
// the system's.
int monitorDpi(HMONITOR monitor);

// A system metric (SM_CXICON, ...) at `dpi`: GetSystemMetricsForDpi;
// nothing where Windows lacks it (the caller scales the system's value).
std::optional<int> systemMetricForDpi(int index, int dpi);

// Keeps the dialog manager from handing `control` the dialog's own font when
// the window moves to a monitor of another resolution: the control has a
// font of its own that the program scales. Windows 10 1703 and later;
// nothing where it is missing (there no dialog changes resolution).
void keepOwnFontOnDpiChange(HWND control);

}  // namespace lumenvik::win
