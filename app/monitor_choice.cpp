#include "app/monitor_choice.h"

#include "app/display_scale.h"
#include "win/centre.h"

namespace lumenvik {

namespace {

std::optional<MonitorArea> cursorMonitor(MonitorPort& monitors) {
    const std::optional<ScreenPoint> at = monitors.cursor();
    if (!at) return std::nullopt;
    return monitors.monitorAt(*at);
}

}  // namespace

std::optional<MonitorArea> chooseMonitor(ShowOn where, MonitorPort& monitors) {
    std::optional<MonitorArea> chosen;
    if (where == ShowOn::active) chosen = monitors.foregroundMonitor();
    if (!chosen && where != ShowOn::primary) chosen = cursorMonitor(monitors);
    if (!chosen) chosen = monitors.primary();
    return chosen;
}

WindowRect centredOn(const MonitorArea& area, int width, int height, int fromDpi) {
    const int w = scaleForDpi(width, area.dpi, fromDpi);
    const int h = scaleForDpi(height, area.dpi, fromDpi);
    return {win::centredStart(area.work.left, area.work.right, w),
            win::centredStart(area.work.top, area.work.bottom, h), w, h};
}

}  // namespace lumenvik
