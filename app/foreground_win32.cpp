#include "app/foreground_win32.h"

#include "app/foreground.h"

namespace lumenvik {
namespace {

HWND toHwnd(WindowId w) { return reinterpret_cast<HWND>(w); }

class Win32Foreground : public ForegroundPorts {
  public:
    WindowId foregroundWindow() override {
        return reinterpret_cast<WindowId>(::GetForegroundWindow());
    }
    uint32_t threadOf(WindowId window) override {
        return window != 0 ? ::GetWindowThreadProcessId(toHwnd(window), nullptr) : 0;
    }
    bool isHung(WindowId window) override { return ::IsHungAppWindow(toHwnd(window)) != FALSE; }
    bool attachInput(uint32_t from, uint32_t to, bool attach) override {
        return ::AttachThreadInput(from, to, attach ? TRUE : FALSE) != FALSE;
    }
    bool lockTimeout(uint32_t& ms) override {
        DWORD value = 0;
        if (!::SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &value, 0)) return false;
        ms = value;
        return true;
    }
    void setLockTimeout(uint32_t ms) override {
        // For this session only, never written to the user's profile.
        ::SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                                reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(ms)), 0);
    }
    void setForeground(WindowId window) override {
        ::SetForegroundWindow(toHwnd(window));
        ::SetActiveWindow(toHwnd(window));
    }
    void syntheticInput() override {
        // A mouse input that moves nothing and presses nothing: the program
        // then made the last input, which entitles it to the foreground,
        // and no other program sees a key (an Alt would open menus).
        INPUT input{};
        input.type = INPUT_MOUSE;
        ::SendInput(1, &input, sizeof input);
    }
    void raise(WindowId window) override {
        // Results ignored: the window shows either way.
        ::SetWindowPos(toHwnd(window), HWND_TOP, 0, 0, 0, 0,
                       SWP_ASYNCWINDOWPOS | SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
        ::RedrawWindow(toHwnd(window), nullptr, nullptr,
                       RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
    }
};

}  // namespace

bool forceForeground(HWND hwnd) {
    Win32Foreground ports;
    return bringToForeground(reinterpret_cast<WindowId>(hwnd), ports);
}

}  // namespace lumenvik
