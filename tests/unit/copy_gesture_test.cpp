#include "hook/copy_gesture.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "hook/double_press.h"

namespace tapwatch {
namespace {

// Feeds both detectors, as the hooks do, events written "key+time" (press)
// or "key-time" (release): L and R the left and right Ctrl, C, A, and M a
// left click or W a mouse move (mouse events carry "+" and a time too).
// One letter per event back: f the gesture's first press, G the gesture,
// T the Ctrl double press, "." nothing.
std::string run(const std::string& events, float interval = 500) {
    CopyGestureDetector gesture;
    DoublePressDetector doublePress;
    gesture.setInterval(interval);
    std::istringstream in(events);
    std::string token, out;
    while (in >> token) {
        const char k = token[0];
        const bool down = token[1] == '+';
        const auto time = static_cast<uint32_t>(std::stoul(token.substr(2)));
        if (k == 'M' || k == 'W') {
            const unsigned message = k == 'M' ? 0x0201 : 0x0200;
            gesture.onMouse(message);
            doublePress.onMouse(message);
            out += '.';
            continue;
        }
        const int key = k == 'L' ? 0xA2 : k == 'R' ? 0xA3 : k;
        const auto result = gesture.onKey(key, down, time);
        const bool toggle = doublePress.onKey(key, down, time);
        out += result == CopyGestureDetector::Result::gesture      ? 'G'
               : result == CopyGestureDetector::Result::firstPress ? 'f'
               : toggle                                            ? 'T'
                                                                   : '.';
    }
    return out;
}

TEST(CopyGestureDetector, CtrlCThenCWithinTheIntervalBesideTheCtrlDoublePress) {
    EXPECT_EQ(run("L+0 C+100 C-150 C+300 C-350 L-400"), ".f.G..") << "the gesture";
    EXPECT_EQ(run("L+0 C+100 C-550 C+600"), ".f.G") << "at the interval, from the first press";
    EXPECT_EQ(run("L+0 C+100 C-150 C+601"), ".f.f") << "too slow: a new first press";
    EXPECT_EQ(run("L+0 C+100 C-150 A+200 A-220 C+300"), ".f...f") << "another key between";
    EXPECT_EQ(run("L+0 C+100 C+130 C+160 C+190 C-220"), ".f....") << "a held C repeating";
    EXPECT_EQ(run("L+0 C+100 C-150 L-200 L+250 C+300"), ".f...f") << "Ctrl released between";
    EXPECT_EQ(run("R+0 C+100 C-150 R+200 C+300"), ".f..G") << "a held Ctrl repeating";
    EXPECT_EQ(run("C+0 C-50 L+100 C+150"), "...f") << "C without Ctrl does not count";
    EXPECT_EQ(run("L+0 C+10 C-20 C+30 C-40 C+50 C-60 C+70"), ".f.G.f.G") << "pairs";
    EXPECT_EQ(run("L+0 C+100 C-150 M+200 C+300"), ".f..f") << "a click between";
    EXPECT_EQ(run("L+0 C+100 C-150 W+200 C+300"), ".f..G") << "a mouse move between";
    EXPECT_EQ(run("L+0 C+100 C-150 C+300", 100), ".f.f") << "the interval is the hook's";
    EXPECT_EQ(run("L+0 C+4294967200 C-4294967250 C+50"), ".f.G") << "the tick count wraps";
    EXPECT_EQ(run("L+0 L-50 L+100 L-150"), "..T.") << "the double press still works";
    EXPECT_EQ(run("L+0 C+20 C-40 L-60 L+100"), ".f...") << "and a C between still cancels it";
}

}  // namespace
}  // namespace tapwatch
