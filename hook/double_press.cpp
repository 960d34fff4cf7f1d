#include "hook/double_press.h"

namespace tapwatch {

void DoublePressDetector::setKey(int virtualKey) {
    key_ = virtualKey;
    state_ = State::idle;
    keyHeld_ = false;
}

void DoublePressDetector::setInterval(float milliseconds) { interval_ = milliseconds; }

int DoublePressDetector::genericKey(int virtualKey) {
    switch (virtualKey) {
        case kLeftShift:
        case kRightShift:
            return kShift;
        case kLeftControl:
        case kRightControl:
            return kControl;
        case kLeftMenu:
        case kRightMenu:
            return kMenu;
        default:
            return virtualKey;
    }
}

bool DoublePressDetector::matches(int virtualKey) const {
    return virtualKey == key_ || genericKey(virtualKey) == key_;
}

bool DoublePressDetector::mouseCancels(unsigned message) {
    // Window-message numbers, fixed by the platform (WM_LBUTTONDOWN ...).
    switch (message) {
        case 0x0201:  // left button down
        case 0x0204:  // right button down
        case 0x0207:  // middle button down
        case 0x020B:  // X button down
        case 0x020A:  // wheel
        case 0x020E:  // horizontal wheel
            return true;
        default:
            return false;
    }
}

void DoublePressDetector::onMouse(unsigned message) {
    if (mouseCancels(message)) state_ = State::idle;
}

bool DoublePressDetector::onKey(int virtualKey, bool down, uint32_t timeMs) {
    if (!matches(virtualKey)) {
        // Any other key pressed in between (Ctrl+C, Ctrl+V) cancels.
        if (down) state_ = State::idle;
        return false;
    }
    if (!down) {
        keyHeld_ = false;
        if (state_ == State::firstDown) state_ = State::released;
        return false;
    }
    if (keyHeld_) return false;  // auto-repeat of a held key
    keyHeld_ = true;
    if (state_ == State::released) {
        // Unsigned difference: correct across the tick count's wrap-around.
        const double elapsed = static_cast<double>(static_cast<uint32_t>(timeMs - firstPressTime_));
        if (elapsed <= static_cast<double>(interval_)) {
            state_ = State::idle;
            return true;
        }
    }
    state_ = State::firstDown;
    firstPressTime_ = timeMs;
    return false;
}

}  // namespace tapwatch
