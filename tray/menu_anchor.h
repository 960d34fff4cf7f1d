#pragma once
// Where the tray menu opens: at the cursor, but never left or right of the
// nearest monitor's work area when the cursor is off every monitor.

#include <cstdint>
#include <optional>

namespace lumenvik {

struct ScreenPoint {
    int32_t x;
    int32_t y;
};

struct WorkArea {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The monitor queries the anchor needs; the Windows build answers them with
// MonitorFromPoint and GetMonitorInfoA.
class MonitorLookup {
  public:
    virtual ~MonitorLookup() = default;
    // True when some monitor contains the point.
    virtual bool isOnMonitor(ScreenPoint point) = 0;
    // The work area of the monitor nearest to the point; nothing when there
    // is no monitor or its information cannot be read.
    virtual std::optional<WorkArea> nearestWorkArea(ScreenPoint point) = 0;
};

// The x at which the menu's left edge goes; the y is always the cursor's.
int32_t menuAnchorX(ScreenPoint cursor, MonitorLookup& monitors);

}  // namespace lumenvik
