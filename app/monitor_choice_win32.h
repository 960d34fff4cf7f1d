#pragma once
// The monitors of the search window's placement, answered by Win32, and the
// move itself.

#include <windows.h>

#include "app/monitor_choice.h"

namespace lumenvik {

class Win32MonitorPort : public MonitorPort {
  public:
    std::optional<MonitorArea> primary() override;
    std::optional<ScreenPoint> cursor() override;
    std::optional<MonitorArea> monitorAt(ScreenPoint point) override;
    std::optional<MonitorArea> foregroundMonitor() override;
};

// Moves the hidden `window` onto the monitor `where` names, centred in its
// work area. A monitor of another resolution sends the window WM_DPICHANGED
// during the move (its handler takes the new size, font and icons), so the
// window shows at the right size from its first frame. Nothing moves when
// no monitor answers.
void moveToChosenMonitor(HWND window, ShowOn where);

}  // namespace lumenvik
