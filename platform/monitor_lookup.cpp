#include "platform/monitor_lookup.h"

#include <windows.h>

namespace lumenvik::win {

namespace {

POINT toPoint(ScreenPoint point) { return POINT{point.x, point.y}; }

}  // namespace

bool Win32MonitorLookup::isOnMonitor(ScreenPoint point) {
    return ::MonitorFromPoint(toPoint(point), MONITOR_DEFAULTTONULL) != nullptr;
}

std::optional<WorkArea> Win32MonitorLookup::nearestWorkArea(ScreenPoint point) {
    HMONITOR monitor = ::MonitorFromPoint(toPoint(point), MONITOR_DEFAULTTONEAREST);
    if (monitor == nullptr) return std::nullopt;
    MONITORINFO info{};
    info.cbSize = sizeof info;  // 40: the record without the device name
    static_assert(sizeof(MONITORINFO) == 40, "MONITORINFO layout");
    if (!::GetMonitorInfoA(monitor, &info)) return std::nullopt;
    return WorkArea{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

}  // namespace lumenvik::win
