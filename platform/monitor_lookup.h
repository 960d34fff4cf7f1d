#pragma once
// The monitor queries of the tray menu's anchor, answered by the platform.

#include "tray/menu_anchor.h"

namespace lumenvik::win {

class Win32MonitorLookup : public MonitorLookup {
  public:
    bool isOnMonitor(ScreenPoint point) override;
    std::optional<WorkArea> nearestWorkArea(ScreenPoint point) override;
};

}  // namespace lumenvik::win
