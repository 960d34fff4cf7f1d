#pragma once
// Decides when the low-level hooks must be installed again. Windows removes
// a low-level hook, silently, when it once answers too slowly; sleep and a
// locked session can leave it dead as well. The hook thread asks this on a
// timer with the system's last input time and the time each hook last saw
// an event, and on the session and power broadcasts. A false alarm costs
// one cheap re-install, a missed one the show key: every doubt re-installs.
// Plain state, no platform calls; times are wrapping 32-bit tick counts.
//
// The system's last input time does not say whether a key or the mouse
// made it. Input that neither hook saw is waited on until the keyboard
// hook sees an event after it: a mouse that moves on proves the mouse hook
// alive, not the keyboard hook, which may have lost a key in between. (A
// mouse move waited on while nobody types costs one needless re-install.)

#include <cstdint>

namespace tapwatch {

class HookWatchdog {
  public:
    // Input the system saw and no hook saw for this long means the hooks
    // are gone (a live hook sees an event within milliseconds).
    static constexpr uint32_t kMissedInputMs = 1500;

    // The hooks were installed at `now`.
    explicit HookWatchdog(uint32_t now) : installed_(now) {}

    // One look: `now`, the tick of the system's last input
    // (GetLastInputInfo) and the ticks at which the keyboard hook and the
    // mouse hook last saw an event. True: install the hooks again (then
    // call reinstalled).
    bool onTick(uint32_t now, uint32_t lastSystemInput, uint32_t lastKeyboardEvent,
                uint32_t lastMouseEvent);
    // A window message the hook thread's window received, with its wParam:
    // true for the session's unlock and the resume from sleep, after which
    // hooks may be gone without a trace.
    static bool reinstallAfter(unsigned message, uintptr_t wParam);
    // The hooks were installed again at `now`: input before it is forgotten.
    void reinstalled(uint32_t now);

  private:
    uint32_t installed_;
    bool waiting_ = false;      // input the hooks had not seen at the last look
    uint32_t unseenInput_ = 0;  // the system's tick of that input
};

}  // namespace tapwatch
