#include "tray/menu_anchor.h"

namespace lumenvik {

int32_t menuAnchorX(ScreenPoint cursor, MonitorLookup& monitors) {
    if (monitors.isOnMonitor(cursor)) return cursor.x;
    std::optional<WorkArea> area = monitors.nearestWorkArea(cursor);
    if (!area) return cursor.x;
    if (cursor.x < area->left) return area->left;
    if (cursor.x > area->right) return area->right;
    return cursor.x;
}

}  // namespace lumenvik
