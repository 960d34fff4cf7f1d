#include "hook/double_press.h"

namespace tapwatch {

void DoublePressDetector::setKey(int virtualKey) {
    key_ = virtualKey;
    state_ = State::idle;
    held_ = 0;
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

bool DoublePressDetector::watches(int virtualKey) const {
    return virtualKey == key_ || genericKey(virtualKey) == key_;
}

uint8_t DoublePressDetector::sideOf(int virtualKey) {
    switch (virtualKey) {
        case kLeftShift:
        case kLeftControl:
        case kLeftMenu:
            return 1;
        case kRightShift:
        case kRightControl:
        case kRightMenu:
            return 2;
        default:
            return 4;
    }
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
    if (!watches(virtualKey)) {
        // Any other key pressed in between (Ctrl+C, Ctrl+V) cancels.
        if (down) state_ = State::idle;
        decision_ = Decision::otherKey;
        return false;
    }
    const uint8_t side = sideOf(virtualKey);
    if (!down) {
        held_ = static_cast<uint8_t>(held_ & ~side);
        if (state_ == State::firstDown && held_ == 0) state_ = State::released;
        decision_ = Decision::released;
        return false;
    }
    if (held_ & side) {  // auto-repeat of a held key
        decision_ = Decision::autoRepeat;
        return false;
    }
    const bool otherSideHeld = held_ != 0;
    held_ = static_cast<uint8_t>(held_ | side);
    decision_ = Decision::firstPress;
    // The other side pressed while one is down: the key was never released,
    // so the press that started it still counts.
    if (otherSideHeld && state_ == State::firstDown) return false;
    if (state_ == State::released) {
        // Unsigned difference: correct across the tick count's wrap-around.
        const double elapsed = static_cast<double>(static_cast<uint32_t>(timeMs - firstPressTime_));
        if (elapsed <= static_cast<double>(interval_)) {
            state_ = State::idle;
            decision_ = Decision::doublePress;
            return true;
        }
    }
    state_ = State::firstDown;
    firstPressTime_ = timeMs;
    return false;
}

}  // namespace tapwatch
