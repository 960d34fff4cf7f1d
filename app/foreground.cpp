#include "app/foreground.h"

namespace lumenvik {

bool bringToForeground(WindowId window, ForegroundPorts& ports) {
    const WindowId front = ports.foregroundWindow();
    const uint32_t own = ports.threadOf(window);
    const uint32_t frontThread = front != 0 ? ports.threadOf(front) : 0;
    const bool attached = frontThread != 0 && frontThread != own && !ports.isHung(front) &&
                          ports.attachInput(own, frontThread, true);

    uint32_t savedTimeout = 0;
    const bool timeoutRead = ports.lockTimeout(savedTimeout);
    if (timeoutRead) ports.setLockTimeout(0);

    bool inFront = false;
    for (int attempt = 0; attempt < kForegroundAttempts && !inFront; ++attempt) {
        if (attempt > 0) ports.syntheticInput();
        ports.setForeground(window);
        inFront = ports.foregroundWindow() == window;
    }
    // Also what shows a window that is still hidden.
    ports.raise(window);

    if (timeoutRead) ports.setLockTimeout(savedTimeout);
    if (attached) ports.attachInput(own, frontThread, false);
    return inFront;
}

}  // namespace lumenvik
