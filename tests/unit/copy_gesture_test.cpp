#include "hook/copy_gesture.h"

#include <gtest/gtest.h>

#include <vector>

#include "hook/double_press.h"

namespace tapwatch {
namespace {

constexpr int kLCtrl = 0xA2, kRCtrl = 0xA3, kC = 'C', kA = 'A';

struct Event {
    int key;
    bool down;
    uint32_t time;
};

struct Case {
    const char* name;
    std::vector<Event> events;
    std::vector<int> gestures;  // indices of the events that complete the gesture
    std::vector<int> toggles;   // the same for the Ctrl double press
};

// Both detectors see every event, as they do in the hook.
TEST(CopyGestureDetector, SequencesBesideTheCtrlDoublePress) {
    const Case cases[] = {
        {"Ctrl+C, C within the interval",
         {{kLCtrl, 1, 0}, {kC, 1, 100}, {kC, 0, 150}, {kC, 1, 300}, {kC, 0, 350}, {kLCtrl, 0, 400}},
         {3},
         {}},
        {"second C exactly at the interval, counted from the first press",
         {{kLCtrl, 1, 0}, {kC, 1, 100}, {kC, 0, 550}, {kC, 1, 600}},
         {3},
         {}},
        {"second C too late", {{kLCtrl, 1, 0}, {kC, 1, 100}, {kC, 0, 150}, {kC, 1, 601}}, {}, {}},
        {"another key between the two",
         {{kLCtrl, 1, 0}, {kC, 1, 100}, {kC, 0, 150}, {kA, 1, 200}, {kA, 0, 220}, {kC, 1, 300}},
         {},
         {}},
        {"a held C repeating",
         {{kLCtrl, 1, 0}, {kC, 1, 100}, {kC, 1, 130}, {kC, 1, 160}, {kC, 1, 190}, {kC, 0, 220}},
         {},
         {}},
        {"Ctrl released between the two",
         {{kLCtrl, 1, 0},
          {kC, 1, 100},
          {kC, 0, 150},
          {kLCtrl, 0, 200},
          {kLCtrl, 1, 250},
          {kC, 1, 300}},
         {},
         {}},
        {"a held Ctrl repeating between the two",
         {{kRCtrl, 1, 0}, {kC, 1, 100}, {kC, 0, 150}, {kRCtrl, 1, 200}, {kC, 1, 300}},
         {4},
         {}},
        {"C without Ctrl, then Ctrl+C",
         {{kC, 1, 0}, {kC, 0, 50}, {kLCtrl, 1, 100}, {kC, 1, 150}},
         {},
         {}},
        {"three Cs make one gesture, the next pair another",
         {{kLCtrl, 1, 0},
          {kC, 1, 10},
          {kC, 0, 20},
          {kC, 1, 30},
          {kC, 0, 40},
          {kC, 1, 50},
          {kC, 0, 60},
          {kC, 1, 70}},
         {3, 7},
         {}},
        {"the Ctrl double press still works and is no gesture",
         {{kLCtrl, 1, 0}, {kLCtrl, 0, 50}, {kLCtrl, 1, 100}, {kLCtrl, 0, 150}},
         {},
         {2}},
        {"a C between two Ctrl presses cancels the double press",
         {{kLCtrl, 1, 0}, {kC, 1, 20}, {kC, 0, 40}, {kLCtrl, 0, 60}, {kLCtrl, 1, 100}},
         {},
         {}},
        {"tick count wraps between the two",
         {{kLCtrl, 1, 0xFFFFFF00u}, {kC, 1, 0xFFFFFF80u}, {kC, 0, 0xFFFFFFF0u}, {kC, 1, 0x10}},
         {3},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CopyGestureDetector gesture;
        DoublePressDetector doublePress;
        std::vector<int> gestures, toggles;
        for (size_t i = 0; i < c.events.size(); ++i) {
            const Event& e = c.events[i];
            if (gesture.onKey(e.key, e.down, e.time) == CopyGestureDetector::Result::gesture)
                gestures.push_back(static_cast<int>(i));
            if (doublePress.onKey(e.key, e.down, e.time)) toggles.push_back(static_cast<int>(i));
        }
        EXPECT_EQ(gestures, c.gestures);
        EXPECT_EQ(toggles, c.toggles);
    }
}

TEST(CopyGestureDetector, TheFirstPressIsReportedSoTheHookCanTakeTheClipboardState) {
    CopyGestureDetector d;
    d.setInterval(200);
    EXPECT_EQ(d.onKey(kLCtrl, true, 0), CopyGestureDetector::Result::none);
    EXPECT_EQ(d.onKey(kC, true, 10), CopyGestureDetector::Result::firstPress);
    EXPECT_EQ(d.onKey(kC, false, 20), CopyGestureDetector::Result::none);
    // Too late for the 200 ms interval: this press starts a new gesture.
    EXPECT_EQ(d.onKey(kC, true, 300), CopyGestureDetector::Result::firstPress);
    EXPECT_EQ(d.onKey(kC, false, 310), CopyGestureDetector::Result::none);
    EXPECT_EQ(d.onKey(kC, true, 400), CopyGestureDetector::Result::gesture);
}

TEST(CopyGestureDetector, AClickOrWheelBetweenTheTwoCancelsAMoveDoesNot) {
    for (const unsigned message : {0x0201u /* left button down */, 0x020Au /* wheel */}) {
        CopyGestureDetector d;
        d.onKey(kLCtrl, true, 0);
        d.onKey(kC, true, 10);
        d.onKey(kC, false, 20);
        d.onMouse(message);
        EXPECT_EQ(d.onKey(kC, true, 30), CopyGestureDetector::Result::firstPress) << message;
    }
    CopyGestureDetector d;
    d.onKey(kLCtrl, true, 0);
    d.onKey(kC, true, 10);
    d.onKey(kC, false, 20);
    d.onMouse(0x0200);  // move
    EXPECT_EQ(d.onKey(kC, true, 30), CopyGestureDetector::Result::gesture);
}

}  // namespace
}  // namespace tapwatch
