#include "app/monitor_choice_win32.h"

#include "win/dpi.h"

namespace lumenvik {

namespace {

std::optional<MonitorArea> areaOf(HMONITOR monitor) {
    if (monitor == nullptr) return std::nullopt;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    // Fails for a monitor that has gone since its handle was taken.
    if (!::GetMonitorInfoW(monitor, &info)) return std::nullopt;
    return MonitorArea{
        WorkArea{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom},
        win::monitorDpi(monitor)};
}

}  // namespace

std::optional<MonitorArea> Win32MonitorPort::primary() {
    return areaOf(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

std::optional<ScreenPoint> Win32MonitorPort::cursor() {
    POINT at{};
    if (!::GetCursorPos(&at)) return std::nullopt;  // a secure desktop, for one
    return ScreenPoint{at.x, at.y};
}

std::optional<MonitorArea> Win32MonitorPort::monitorAt(ScreenPoint point) {
    return areaOf(::MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST));
}

std::optional<MonitorArea> Win32MonitorPort::foregroundMonitor() {
    HWND front = ::GetForegroundWindow();
    // The desktop spans every monitor: it says nothing of where the user is.
    if (front == nullptr || front == ::GetDesktopWindow() || front == ::GetShellWindow()) {
        return std::nullopt;
    }
    return areaOf(::MonitorFromWindow(front, MONITOR_DEFAULTTONULL));
}

void moveToChosenMonitor(HWND window, ShowOn where) {
    Win32MonitorPort monitors;
    const std::optional<MonitorArea> area = chooseMonitor(where, monitors);
    RECT now{};
    if (!area || !::GetWindowRect(window, &now)) return;
    const WindowRect target =
        centredOn(*area, now.right - now.left, now.bottom - now.top, win::windowDpi(window));
    // Its place at the monitor's resolution: the window lies on that monitor
    // now, and its resolution follows (WM_DPICHANGED, handled before this
    // returns). The position calls' results are ignored: a window left
    // where it was still works.
    ::SetWindowPos(window, nullptr, target.left, target.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Centred again at the size it has now, whatever size the change
    // suggested.
    RECT placed{};
    if (!::GetWindowRect(window, &placed)) return;
    const WindowRect centred =
        centredOn(*area, placed.right - placed.left, placed.bottom - placed.top, area->dpi);
    ::SetWindowPos(window, nullptr, centred.left, centred.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace lumenvik
