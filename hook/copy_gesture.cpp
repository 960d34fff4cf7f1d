#include "hook/copy_gesture.h"

#include "hook/double_press.h"

namespace tapwatch {

CopyGestureDetector::Result CopyGestureDetector::onKey(int virtualKey, bool down, uint32_t timeMs) {
    if (DoublePressDetector::genericKey(virtualKey) == DoublePressDetector::kControl) {
        // Releasing either Ctrl key ends the gesture; a held Ctrl repeats
        // its press, which changes nothing.
        if (!down) pending_ = false;
        ctrlDown_ = down;
        return Result::none;
    }
    if (virtualKey != 'C') {
        // Any other key pressed in between cancels; a release does not.
        if (down) pending_ = false;
        return Result::none;
    }
    if (!down) {
        cDown_ = false;
        return Result::none;
    }
    if (cDown_) return Result::none;  // auto-repeat of a held C
    cDown_ = true;
    if (!ctrlDown_) {
        pending_ = false;
        return Result::none;
    }
    if (pending_) {
        // Unsigned difference: correct across the tick count's wrap-around.
        const double elapsed = static_cast<double>(static_cast<uint32_t>(timeMs - firstPressTime_));
        if (elapsed <= static_cast<double>(interval_)) {
            pending_ = false;
            return Result::gesture;
        }
    }
    pending_ = true;
    firstPressTime_ = timeMs;
    return Result::firstPress;
}

void CopyGestureDetector::onMouse(unsigned message) {
    if (DoublePressDetector::mouseCancels(message)) pending_ = false;
}

}  // namespace tapwatch
