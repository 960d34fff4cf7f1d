#pragma once
// Recognises the copy gesture in a stream of key events: C pressed twice
// within the interval while Ctrl stays down, no other key pressed between
// (Ctrl+C, then C again). Plain state, no platform calls, so the keyboard
// hook stays fast; the hook asks for the clipboard's state on the first press.

#include <cstdint>

namespace tapwatch {

class CopyGestureDetector {
  public:
    enum class Result {
        none,
        firstPress,  // Ctrl+C that may start the gesture
        gesture,     // the second C: the gesture is complete
    };

    void setInterval(float milliseconds) { interval_ = milliseconds; }

    // One key event, with the event's time in milliseconds (a wrapping
    // 32-bit tick count).
    Result onKey(int virtualKey, bool down, uint32_t timeMs);
    // One mouse event, by its window-message number: a click or a wheel
    // turn between the two presses cancels, as it does a double press.
    void onMouse(unsigned message);

  private:
    float interval_ = 500.0f;
    bool ctrlDown_ = false;
    bool cDown_ = false;    // C is held: further presses are auto-repeat
    bool pending_ = false;  // a first press waits for its second
    uint32_t firstPressTime_ = 0;
};

}  // namespace tapwatch
