#include "hook/watchdog.h"

#include <gtest/gtest.h>

#include <vector>

namespace tapwatch {
namespace {

// One look of the hook thread's timer: the clock, the system's last input,
// the keyboard hook's and the mouse hook's last events.
struct Look {
    uint32_t now, systemInput, keyEvent, mouseEvent;
};

struct Case {
    const char* name;
    uint32_t installed;
    std::vector<Look> looks;
    std::vector<int> reinstalls;  // indices of the looks that re-install
};

TEST(HookWatchdog, ReinstallsWhenTheSystemSawInputTheHooksMissed) {
    const Case cases[] = {
        {"idle: no input at all",
         1000,
         {{1500, 900, 1000, 1000}, {5000, 900, 1000, 1000}, {60000, 900, 1000, 1000}},
         {}},
        {"every input seen by a hook",
         1000,
         {{1500, 1400, 1401, 1401}, {3000, 2900, 2900, 2900}, {9000, 8000, 8003, 8003}},
         {}},
        {"input not seen yet, seen at the next look",
         1000,
         {{2000, 1990, 1500, 1500}, {2500, 1990, 2100, 2100}},
         {}},
        {"input missed for more than 1.5 s",
         1000,
         {{2000, 1900, 1200, 1200}, {3000, 1900, 1200, 1200}, {3500, 1900, 1200, 1200}},
         {2}},
        {"the first look already finds old missed input", 1000, {{9000, 5000, 1200, 1200}}, {0}},
        {"missed for exactly 1.5 s: not yet", 1000, {{3400, 1900, 1200, 1200}}, {}},
        {"input before the install is none of the hooks'",
         10000,
         {{11000, 9000, 0, 0}, {20000, 9000, 0, 0}},
         {}},
        {"the re-installed hooks see the next input",
         1000,
         {{4000, 2000, 1500, 1500}, {4500, 4400, 4400, 4400}, {9000, 4400, 4400, 4400}},
         {0}},
        {"the re-installed hooks miss again",
         1000,
         {{4000, 2000, 1500, 1500}, {8000, 6000, 1500, 1500}},
         {0, 1}},
        {"a dropped keyboard hook while the mouse moves on",
         1000,
         {{2000, 2000, 1200, 1990}, {2500, 2490, 1200, 2490}, {3600, 3590, 1200, 3590}},
         {2}},
        {"a key the keyboard hook sees late while the mouse rests",
         1000,
         {{2000, 1990, 1500, 1000}, {2500, 2400, 2410, 1000}, {5000, 2400, 2410, 1000}},
         {}},
        {"typing while the mouse rests",
         1000,
         {{2000, 1990, 1995, 1000}, {5000, 4990, 4995, 1000}},
         {}},
        {"ticks across the counter's wrap",
         0xFFFFF000u,
         {{0xFFFFFA00u, 0xFFFFF800u, 0xFFFFF100u, 0xFFFFF100u},
          {0x00000300u, 0xFFFFF800u, 0xFFFFF100u, 0xFFFFF100u}},
         {1}},
    };
    for (const Case& c : cases) {
        HookWatchdog watchdog(c.installed);
        std::vector<int> reinstalls;
        for (size_t i = 0; i < c.looks.size(); ++i) {
            const Look& l = c.looks[i];
            if (watchdog.onTick(l.now, l.systemInput, l.keyEvent, l.mouseEvent)) {
                reinstalls.push_back(static_cast<int>(i));
                watchdog.reinstalled(l.now);
            }
        }
        EXPECT_EQ(reinstalls, c.reinstalls) << c.name;
    }
}

TEST(HookWatchdog, ReinstallsAfterUnlockAndResumeOnly) {
    struct Broadcast {
        const char* name;
        unsigned message;
        uintptr_t wParam;
        bool reinstall;
    };
    // WM_WTSSESSION_CHANGE and WM_POWERBROADCAST with their documented codes.
    const Broadcast broadcasts[] = {
        {"session unlocked", 0x02B1, 0x8, true},       {"session locked", 0x02B1, 0x7, false},
        {"console reconnected", 0x02B1, 0x1, false},   {"resumed by the user", 0x0218, 0x7, true},
        {"resumed automatically", 0x0218, 0x12, true}, {"going to sleep", 0x0218, 0x4, false},
        {"power source changed", 0x0218, 0xA, false},  {"a timer message", 0x0113, 0x8, false},
    };
    for (const Broadcast& b : broadcasts) {
        EXPECT_EQ(HookWatchdog::reinstallAfter(b.message, b.wParam), b.reinstall) << b.name;
    }
}

}  // namespace
}  // namespace tapwatch
