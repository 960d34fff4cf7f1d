#include "app/foreground.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumenvik {
namespace {

constexpr WindowId kOurs = 0x100, kTheirs = 0x200;
constexpr uint32_t kOurThread = 1, kTheirThread = 2;
constexpr uint32_t kUserTimeout = 200000;

// A desktop with one other window in front; it logs each call that changes
// something, and holds the lock time-out the program leaves behind.
class FakeDesktop : public ForegroundPorts {
  public:
    WindowId front = kTheirs;
    bool hung = false;
    bool timeoutReadable = true;
    // Requests refused before one is granted.
    int refusals = 0;
    uint32_t timeout = kUserTimeout;
    std::vector<std::string> log;

    WindowId foregroundWindow() override { return front; }
    uint32_t threadOf(WindowId w) override {
        return w == kOurs ? kOurThread : w == kTheirs ? kTheirThread : 0;
    }
    bool isHung(WindowId) override { return hung; }
    bool attachInput(uint32_t from, uint32_t to, bool attach) override {
        log.push_back((attach ? "attach " : "detach ") + std::to_string(from) + "," +
                      std::to_string(to));
        return true;
    }
    bool lockTimeout(uint32_t& ms) override {
        ms = timeout;
        return timeoutReadable;
    }
    void setLockTimeout(uint32_t ms) override {
        timeout = ms;
        log.push_back("timeout " + std::to_string(ms));
    }
    void setForeground(WindowId w) override {
        log.push_back("foreground");
        if (refusals > 0) {
            --refusals;
        } else {
            front = w;
        }
    }
    void syntheticInput() override { log.push_back("input"); }
    void raise(WindowId) override { log.push_back("raise"); }
};

struct Case {
    const char* name;
    WindowId front;
    bool hung;
    int refusals;
    bool timeoutReadable;
    bool inFront;
    std::vector<std::string> log;
};

TEST(BringToForeground, AttemptsInOrderAndLeavesTheLockTimeOutAsFound) {
    const Case cases[] = {
        {"granted at once",
         kTheirs,
         false,
         0,
         true,
         true,
         {"attach 1,2", "timeout 0", "foreground", "raise", "timeout 200000", "detach 1,2"}},
        {"hung foreground: queues never attached",
         kTheirs,
         true,
         0,
         true,
         true,
         {"timeout 0", "foreground", "raise", "timeout 200000"}},
        {"refused once: input, then granted",
         kTheirs,
         false,
         1,
         true,
         true,
         {"attach 1,2", "timeout 0", "foreground", "input", "foreground", "raise", "timeout 200000",
          "detach 1,2"}},
        {"hung and refusing: bounded, then given up",
         kTheirs,
         true,
         99,
         true,
         false,
         {"timeout 0", "foreground", "input", "foreground", "input", "foreground", "raise",
          "timeout 200000"}},
        {"no window in front",
         0,
         false,
         0,
         true,
         true,
         {"timeout 0", "foreground", "raise", "timeout 200000"}},
        {"our own thread in front",
         kOurs,
         false,
         0,
         true,
         true,
         {"timeout 0", "foreground", "raise", "timeout 200000"}},
        {"lock time-out unreadable: left alone",
         kTheirs,
         false,
         0,
         false,
         true,
         {"attach 1,2", "foreground", "raise", "detach 1,2"}},
    };
    for (const Case& c : cases) {
        FakeDesktop desktop;
        desktop.front = c.front;
        desktop.hung = c.hung;
        desktop.refusals = c.refusals;
        desktop.timeoutReadable = c.timeoutReadable;
        EXPECT_EQ(bringToForeground(kOurs, desktop), c.inFront) << c.name;
        EXPECT_EQ(desktop.log, c.log) << c.name;
        EXPECT_EQ(desktop.timeout, kUserTimeout) << c.name;
    }
}

}  // namespace
}  // namespace lumenvik
