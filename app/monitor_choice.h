#pragma once
// Which monitor the search window opens on, by the [Options] showOn choice,
// and where on it: centred in its work area. The monitors come in through
// MonitorPort (app/monitor_choice_win32.h answers it with Win32).

#include <optional>

#include "settings/show_on.h"
#include "tray/menu_anchor.h"

namespace lumenvik {

struct MonitorArea {
    WorkArea work;  // the monitor less the taskbar, in screen pixels
    int dpi;        // its resolution (96 at 100 % scaling)
};

class MonitorPort {
  public:
    virtual ~MonitorPort() = default;
    // Each is nothing where the platform has no answer: no such monitor (it
    // was just unplugged), no foreground window, its information unreadable.
    virtual std::optional<MonitorArea> primary() = 0;
    virtual std::optional<ScreenPoint> cursor() = 0;
    // The monitor that holds the point, or the nearest one.
    virtual std::optional<MonitorArea> monitorAt(ScreenPoint point) = 0;
    // The monitor of the window in front, when it is a window the user
    // works in (not the desktop).
    virtual std::optional<MonitorArea> foregroundMonitor() = 0;
};

// The monitor for `where`: the cursor's for mouse; the foreground window's
// for active, else the cursor's; the primary one when the chosen one has
// no answer. Nothing only when not even the primary monitor answers.
std::optional<MonitorArea> chooseMonitor(ShowOn where, MonitorPort& monitors);

struct WindowRect {
    int left;
    int top;
    int width;
    int height;
};

// A window `width` x `height` at `fromDpi`, at `area`'s resolution and
// centred in its work area, kept wholly inside where it fits.
WindowRect centredOn(const MonitorArea& area, int width, int height, int fromDpi);

}  // namespace lumenvik
