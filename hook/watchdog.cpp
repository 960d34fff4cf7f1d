#include "hook/watchdog.h"

namespace tapwatch {
namespace {

// Whether tick `a` comes after tick `b`, across the counter's wrap.
bool after(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) > 0; }

// Window messages and their codes, fixed by the platform.
constexpr unsigned kSessionChange = 0x02B1;   // WM_WTSSESSION_CHANGE
constexpr uintptr_t kSessionUnlock = 0x8;     // WTS_SESSION_UNLOCK
constexpr unsigned kPowerBroadcast = 0x0218;  // WM_POWERBROADCAST
constexpr uintptr_t kResumeSuspend = 0x7;     // PBT_APMRESUMESUSPEND
constexpr uintptr_t kResumeAutomatic = 0x12;  // PBT_APMRESUMEAUTOMATIC

}  // namespace

bool HookWatchdog::onTick(uint32_t now, uint32_t lastSystemInput, uint32_t lastKeyboardEvent,
                          uint32_t lastMouseEvent) {
    // Input from before the hooks were installed is none of theirs.
    if (after(installed_, lastKeyboardEvent)) lastKeyboardEvent = installed_;
    if (after(installed_, lastMouseEvent)) lastMouseEvent = installed_;
    // Only a key the keyboard hook saw at or after the input waited for
    // clears it: the show key needs that hook, and a mouse that moves on
    // says nothing of it.
    if (waiting_ && !after(unseenInput_, lastKeyboardEvent)) waiting_ = false;
    if (!waiting_) {
        // The newest input was seen by the hook it was meant for.
        if (!after(lastSystemInput, lastKeyboardEvent) || !after(lastSystemInput, lastMouseEvent)) {
            return false;
        }
        // The hooks may simply not have been called yet: wait and see.
        waiting_ = true;
        unseenInput_ = lastSystemInput;
    }
    if (static_cast<int32_t>(now - unseenInput_) <= static_cast<int32_t>(kMissedInputMs)) {
        return false;
    }
    waiting_ = false;
    return true;
}

bool HookWatchdog::reinstallAfter(unsigned message, uintptr_t wParam) {
    if (message == kSessionChange) return wParam == kSessionUnlock;
    if (message == kPowerBroadcast) return wParam == kResumeSuspend || wParam == kResumeAutomatic;
    return false;
}

void HookWatchdog::reinstalled(uint32_t now) {
    installed_ = now;
    waiting_ = false;
}

}  // namespace tapwatch
