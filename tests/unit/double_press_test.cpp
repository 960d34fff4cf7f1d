#include "hook/double_press.h"

#include <gtest/gtest.h>

#include <vector>

namespace tapwatch {
namespace {

constexpr int kCtrl = 0x11, kShift = 0x10, kAlt = 0x12;
constexpr int kLCtrl = 0xA2, kRCtrl = 0xA3, kLShift = 0xA0, kRShift = 0xA1, kLAlt = 0xA4,
              kRAlt = 0xA5;
constexpr int kC = 'C', kV = 'V', kA = 'A';

struct Event {
    int key;
    bool down;
    uint32_t time;
    unsigned mouse = 0;  // a mouse message instead of a key
};

// Mouse messages as the low-level mouse hook reports them.
Event mouse(unsigned message) { return {0, false, 0, message}; }
const Event kClick = mouse(0x0201), kClickUp = mouse(0x0202), kRightClick = mouse(0x0204),
            kMiddleClick = mouse(0x0207), kXClick = mouse(0x020B), kWheel = mouse(0x020A),
            kHWheel = mouse(0x020E), kMove = mouse(0x0200);

// Feeds the events and returns the indices of those that completed a double press.
std::vector<int> fire(DoublePressDetector& d, const std::vector<Event>& events) {
    std::vector<int> fired;
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].mouse != 0) {
            d.onMouse(events[i].mouse);
        } else if (d.onKey(events[i].key, events[i].down, events[i].time)) {
            fired.push_back(static_cast<int>(i));
        }
    }
    return fired;
}

struct Case {
    const char* name;
    int key;
    float interval;
    std::vector<Event> events;
    std::vector<int> fired;
};

TEST(DoublePressDetector, Sequences) {
    const Case cases[] = {
        {"press release press",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kLCtrl, 0, 50}, {kLCtrl, 1, 100}},
         {2}},
        {"left then right Ctrl",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kLCtrl, 0, 50}, {kRCtrl, 1, 100}},
         {2}},
        {"generic Ctrl codes", kCtrl, 500, {{kCtrl, 1, 0}, {kCtrl, 0, 50}, {kCtrl, 1, 100}}, {2}},
        {"second press exactly at the interval",
         kCtrl,
         500,
         {{kLCtrl, 1, 1000}, {kLCtrl, 0, 1100}, {kLCtrl, 1, 1500}},
         {2}},
        {"second press after the interval",
         kCtrl,
         500,
         {{kLCtrl, 1, 1000}, {kLCtrl, 0, 1100}, {kLCtrl, 1, 1501}},
         {}},
        {"interval counts from the first press, not the release",
         kCtrl,
         100,
         {{kLCtrl, 1, 0}, {kLCtrl, 0, 90}, {kLCtrl, 1, 150}},
         {}},
        {"a late second press starts a new pair",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kLCtrl, 0, 10}, {kLCtrl, 1, 900}, {kLCtrl, 0, 910}, {kLCtrl, 1, 1000}},
         {4}},
        {"auto-repeat of a held key is no second press",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kLCtrl, 1, 30}, {kLCtrl, 1, 60}, {kLCtrl, 1, 90}, {kLCtrl, 0, 120}},
         {}},
        {"held second press fires once",
         kCtrl,
         500,
         {{kLCtrl, 1, 0},
          {kLCtrl, 0, 20},
          {kLCtrl, 1, 40},
          {kLCtrl, 1, 70},
          {kLCtrl, 1, 100},
          {kLCtrl, 0, 130}},
         {2}},
        {"Ctrl+C then Ctrl+V never toggles",
         kCtrl,
         500,
         {{kLCtrl, 1, 0},
          {kC, 1, 10},
          {kC, 0, 20},
          {kLCtrl, 0, 30},
          {kLCtrl, 1, 40},
          {kV, 1, 50},
          {kV, 0, 60},
          {kLCtrl, 0, 70}},
         {}},
        {"another key between the presses cancels",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kLCtrl, 0, 10}, {kA, 1, 20}, {kA, 0, 30}, {kLCtrl, 1, 40}},
         {}},
        {"a key released between the presses does not cancel",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kLCtrl, 0, 10}, {kA, 0, 20}, {kLCtrl, 1, 40}},
         {3}},
        {"Shift and Ctrl are different keys",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kLCtrl, 0, 10}, {kLShift, 1, 20}, {kLShift, 0, 30}, {kLCtrl, 1, 40}},
         {}},
        {"four presses are two double presses",
         kCtrl,
         500,
         {{kLCtrl, 1, 0},
          {kLCtrl, 0, 10},
          {kLCtrl, 1, 20},
          {kLCtrl, 0, 30},
          {kLCtrl, 1, 40},
          {kLCtrl, 0, 50},
          {kLCtrl, 1, 60}},
         {2, 6}},
        {"three presses are one double press",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kLCtrl, 0, 10}, {kLCtrl, 1, 20}, {kLCtrl, 0, 30}, {kLCtrl, 1, 40}},
         {2}},
        {"Shift as the key, either side",
         kShift,
         500,
         {{kRShift, 1, 0}, {kRShift, 0, 10}, {kLShift, 1, 20}},
         {2}},
        {"Ctrl presses do nothing when Shift is the key",
         kShift,
         500,
         {{kLCtrl, 1, 0}, {kLCtrl, 0, 10}, {kLCtrl, 1, 20}},
         {}},
        {"Alt as the key", kAlt, 500, {{kLAlt, 1, 0}, {kLAlt, 0, 10}, {kRAlt, 1, 20}}, {2}},
        {"any ordinary key", 0x70, 500, {{0x70, 1, 0}, {0x70, 0, 10}, {0x70, 1, 20}}, {2}},
        {"tick count wraps between the presses",
         kCtrl,
         500,
         {{kLCtrl, 1, 0xFFFFFF00u}, {kLCtrl, 0, 0xFFFFFF80u}, {kLCtrl, 1, 0x00000010u}},
         {2}},
        {"zero interval needs both presses at the same tick",
         kCtrl,
         0,
         {{kLCtrl, 1, 5}, {kLCtrl, 0, 5}, {kLCtrl, 1, 6}},
         {}},
        {"press, click, release, press",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, kClick, kClickUp, {kLCtrl, 0, 20}, {kLCtrl, 1, 40}},
         {}},
        {"press, release, click, press",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kLCtrl, 0, 20}, kClick, {kLCtrl, 1, 40}},
         {}},
        {"every button and both wheels cancel",
         kCtrl,
         500,
         {{kLCtrl, 1, 0},
          {kLCtrl, 0, 5},
          kRightClick,
          {kLCtrl, 1, 10},
          {kLCtrl, 0, 15},
          kMiddleClick,
          {kLCtrl, 1, 20},
          {kLCtrl, 0, 25},
          kXClick,
          {kLCtrl, 1, 30},
          {kLCtrl, 0, 35},
          kWheel,
          {kLCtrl, 1, 40},
          {kLCtrl, 0, 45},
          kHWheel,
          {kLCtrl, 1, 50}},
         {}},
        {"moves and a release between the presses do not cancel",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, kMove, {kLCtrl, 0, 20}, kMove, kClickUp, {kLCtrl, 1, 40}},
         {5}},
        {"a click before the first press does not matter",
         kCtrl,
         500,
         {kClick, kClickUp, {kLCtrl, 1, 1000}, {kLCtrl, 0, 1020}, {kLCtrl, 1, 1040}},
         {4}},
        {"right Ctrl's auto-repeat after left Ctrl's release is no second press",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kRCtrl, 1, 20}, {kLCtrl, 0, 40}, {kRCtrl, 1, 70}, {kRCtrl, 1, 100}},
         {}},
        {"both Ctrl keys down and up count as one press",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kRCtrl, 1, 20}, {kLCtrl, 0, 40}, {kRCtrl, 0, 60}, {kLCtrl, 1, 100}},
         {4}},
        {"right Ctrl tapped twice while left Ctrl is held",
         kCtrl,
         500,
         {{kLCtrl, 1, 0}, {kRCtrl, 1, 10}, {kRCtrl, 0, 20}, {kRCtrl, 1, 30}, {kRCtrl, 0, 40}},
         {}},
        {"negative interval never fires",
         kCtrl,
         -1,
         {{kLCtrl, 1, 5}, {kLCtrl, 0, 5}, {kLCtrl, 1, 5}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DoublePressDetector d;
        d.setKey(c.key);
        d.setInterval(c.interval);
        EXPECT_EQ(fire(d, c.events), c.fired);
    }
}

TEST(DoublePressDetector, DefaultsToCtrlAndFiveHundredMilliseconds) {
    DoublePressDetector d;
    EXPECT_EQ(d.key(), kCtrl);
    EXPECT_EQ(d.interval(), 500.0f);
    EXPECT_EQ(fire(d, {{kLCtrl, 1, 0}, {kLCtrl, 0, 100}, {kLCtrl, 1, 499}}), std::vector<int>{2});
}

TEST(DoublePressDetector, ChangingTheKeyForgetsAHalfDonePress) {
    DoublePressDetector d;
    EXPECT_EQ(fire(d, {{kLShift, 1, 0}, {kLShift, 0, 10}}), std::vector<int>{});
    d.setKey(kShift);
    EXPECT_FALSE(d.onKey(kLShift, true, 20));  // a first press, not the second
    EXPECT_FALSE(d.onKey(kLShift, false, 30));
    EXPECT_TRUE(d.onKey(kLShift, true, 40));
}

TEST(DoublePressDetector, ChangingTheIntervalActsOnTheNextPress) {
    DoublePressDetector d;
    d.setInterval(50);
    EXPECT_FALSE(d.onKey(kLCtrl, true, 0));
    EXPECT_FALSE(d.onKey(kLCtrl, false, 10));
    d.setInterval(1000);
    EXPECT_TRUE(d.onKey(kLCtrl, true, 400));
}

}  // namespace
}  // namespace tapwatch
