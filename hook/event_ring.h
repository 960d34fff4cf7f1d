#pragma once
// The hook thread's last events, for a test that wants to know why a
// double press did not show the window: whether the presses reached the
// hook, and what the detector made of them. It records nothing until a
// test asks (WM_TAPWATCH_RING to the hook thread's window), and it is no
// keystroke log: only the watched key and the mouse buttons are kept, any
// other key as "another key", without its code. Plain memory the hook
// thread alone writes; a test reads it from outside with the layout below
// (the same build on both sides).

#include <cstdint>

namespace tapwatch {

struct RingEntry {
    enum What : uint8_t {
        keyDown = 1,
        keyUp,
        mouse,        // `message` is the mouse hook's window message
        reinstalled,  // the hooks were installed again
    };
    uint32_t time;     // the event's tick, or the hook thread's at a note
    uint16_t message;  // the mouse message, 0 otherwise
    uint8_t what;
    // For a key: its code when it is the watched key (the side shows), 0
    // for another key. Then what the detector decided (Decision).
    uint8_t key;
    uint8_t decision;
    uint8_t reserved[3];
};

class EventRing {
  public:
    static constexpr uint32_t kEntries = 64;

    void start() { recording_ = 1; }
    bool recording() const { return recording_ != 0; }
    // Callers check recording() first: nothing is written before start().
    void key(bool down, bool watched, int virtualKey, uint8_t decision, uint32_t time) {
        RingEntry& e = next();
        e.time = time;
        e.message = 0;
        e.what = down ? RingEntry::keyDown : RingEntry::keyUp;
        e.key = watched ? static_cast<uint8_t>(virtualKey) : 0;
        e.decision = decision;
    }
    void mouse(unsigned message, uint32_t time) {
        RingEntry& e = next();
        e.time = time;
        e.message = static_cast<uint16_t>(message);
        e.what = RingEntry::mouse;
        e.key = 0;
        e.decision = 0;
    }
    void reinstalled(uint32_t time) {
        RingEntry& e = next();
        e.time = time;
        e.message = 0;
        e.what = RingEntry::reinstalled;
        e.key = 0;
        e.decision = 0;
    }

    // Read by the tests: the events so far (the newest at (count - 1) %
    // kEntries) and the hooks now in place, so that a test can drop one.
    uint32_t recording_ = 0;
    uint32_t count = 0;
    uint64_t keyboardHook = 0;
    uint64_t mouseHook = 0;
    RingEntry entries[kEntries] = {};

  private:
    RingEntry& next() { return entries[count++ % kEntries]; }
};

}  // namespace tapwatch
