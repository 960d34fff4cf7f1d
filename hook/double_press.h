#pragma once
// Recognises a double press of one key in a stream of key and mouse events:
// press, release, press of that key, the second press within the interval of
// the first, nothing pressed in between. Plain state, no platform calls, so
// the hooks stay fast.

#include <cstdint>

namespace tapwatch {

class DoublePressDetector {
  public:
    // Virtual-key codes of the generic modifier keys and their sides.
    static constexpr int kShift = 0x10, kControl = 0x11, kMenu = 0x12;
    static constexpr int kLeftShift = 0xA0, kRightShift = 0xA1;
    static constexpr int kLeftControl = 0xA2, kRightControl = 0xA3;
    static constexpr int kLeftMenu = 0xA4, kRightMenu = 0xA5;

    void setKey(int virtualKey);
    void setInterval(float milliseconds);
    int key() const { return key_; }
    float interval() const { return interval_; }

    // One key event, with the event's time in milliseconds (a wrapping
    // 32-bit tick count). True when this press completes a double press.
    bool onKey(int virtualKey, bool down, uint32_t timeMs);

    // What the last key event meant to the detector, for the hook's ring
    // of recent events.
    enum class Decision : uint8_t {
        otherKey = 1,  // not the watched key: a press of it cancels
        firstPress,
        released,  // the watched key went up
        autoRepeat,
        doublePress,
    };
    Decision lastDecision() const { return decision_; }
    // Whether the key event is one of the watched key (either side).
    bool watches(int virtualKey) const;

    // One mouse event, by its window-message number as the low-level mouse
    // hook reports it. A button press or a wheel turn cancels a double press
    // in progress, as another key does: Ctrl+click, Ctrl+click is not a
    // double Ctrl. Moves and releases do not.
    void onMouse(unsigned message);
    // Whether that mouse event cancels: a button press or a wheel turn.
    static bool mouseCancels(unsigned message);

    // Left and right Ctrl, Shift and Alt stand for the generic key.
    static int genericKey(int virtualKey);

  private:
    enum class State { idle, firstDown, released };
    // Which of the watched key's codes an event has: 1 the left, 2 the right
    // modifier, 4 any other (the generic code, an ordinary key).
    static uint8_t sideOf(int virtualKey);

    int key_ = kControl;
    float interval_ = 500.0f;
    State state_ = State::idle;
    // The sides of the watched key now down, each on its own: a further
    // press of a side that is down is auto-repeat, and the key counts as
    // released only once every side is up.
    uint8_t held_ = 0;
    uint32_t firstPressTime_ = 0;
    Decision decision_ = Decision::otherKey;
};

}  // namespace tapwatch
