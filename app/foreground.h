#pragma once
// Bringing a window of the program to the front, whoever has the foreground
// now. The order of the attempts is here; the platform calls come in
// through ForegroundPorts (app/foreground_win32.h answers them with Win32).
//
// Attaching the input queues lets the program take the foreground from the
// thread in front, but with the queues attached the activation waits on that
// thread: a hung one would hang the program, so a hung foreground is left
// alone. A refused change is tried again after a synthetic input event,
// which gives the program the last input and with it the right to the
// foreground, a bounded number of times. The user's foreground lock
// time-out is zero meanwhile and as it was afterwards.

#include <cstdint>

namespace lumenvik {

// A window, as the platform's handle in an integer; 0 is none.
using WindowId = std::uintptr_t;

class ForegroundPorts {
  public:
    virtual ~ForegroundPorts() = default;
    virtual WindowId foregroundWindow() = 0;
    // The thread that made the window; 0 for none.
    virtual uint32_t threadOf(WindowId window) = 0;
    // Whether the window's thread has stopped answering messages.
    virtual bool isHung(WindowId window) = 0;
    // Attaches (or detaches) the input of thread `from` to that of `to`;
    // false when refused.
    virtual bool attachInput(uint32_t from, uint32_t to, bool attach) = 0;
    // The foreground lock time-out in milliseconds; false when unreadable.
    virtual bool lockTimeout(uint32_t& ms) = 0;
    virtual void setLockTimeout(uint32_t ms) = 0;
    // Asks for the foreground and the activation for the window.
    virtual void setForeground(WindowId window) = 0;
    // One input event that changes nothing (an empty mouse input).
    virtual void syntheticInput() = 0;
    // Shows the window on top of its peers and redraws it.
    virtual void raise(WindowId window) = 0;
};

// Asks for the foreground at most this many times.
constexpr int kForegroundAttempts = 3;

// Brings `window` to the front and shows it. True when it is the foreground
// window afterwards.
bool bringToForeground(WindowId window, ForegroundPorts& ports);

}  // namespace lumenvik
