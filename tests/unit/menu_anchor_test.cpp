#include "tray/menu_anchor.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumenvik {
namespace {

struct Monitor {
    WorkArea bounds;  // whole monitor, right/bottom exclusive
    WorkArea work;    // without the taskbar
};

// A made-up desktop: a point is on a monitor when inside its bounds; the
// nearest monitor is the one with the least horizontal and vertical distance.
class FakeMonitors : public MonitorLookup {
  public:
    explicit FakeMonitors(std::vector<Monitor> monitors, bool infoFails = false)
        : monitors_(std::move(monitors)), infoFails_(infoFails) {}

    bool isOnMonitor(ScreenPoint p) override {
        for (const Monitor& m : monitors_) {
            if (p.x >= m.bounds.left && p.x < m.bounds.right && p.y >= m.bounds.top &&
                p.y < m.bounds.bottom)
                return true;
        }
        return false;
    }

    std::optional<WorkArea> nearestWorkArea(ScreenPoint p) override {
        ++nearestQueries;
        if (monitors_.empty() || infoFails_) return std::nullopt;
        const Monitor* best = nullptr;
        long long bestDistance = 0;
        for (const Monitor& m : monitors_) {
            const long long dx = distance(p.x, m.bounds.left, m.bounds.right);
            const long long dy = distance(p.y, m.bounds.top, m.bounds.bottom);
            const long long d = dx * dx + dy * dy;
            if (!best || d < bestDistance) {
                best = &m;
                bestDistance = d;
            }
        }
        return best->work;
    }

    int nearestQueries = 0;

  private:
    static long long distance(int32_t v, int32_t low, int32_t high) {
        if (v < low) return low - v;
        if (v >= high) return v - high + 1;
        return 0;
    }

    std::vector<Monitor> monitors_;
    bool infoFails_;
};

// Primary 1920x1080 with the taskbar at the left (work area from x 60), and a
// second 1280x1024 monitor to its right, lower down, with the taskbar at the
// right (work area up to x 3150).
const Monitor kPrimary{{0, 0, 1920, 1080}, {60, 0, 1920, 1080}};
const Monitor kSecond{{1920, 200, 3200, 1224}, {1920, 200, 3150, 1224}};

TEST(MenuAnchorX, OnAMonitorTheCursorXIsKept) {
    FakeMonitors desktop({kPrimary, kSecond});
    for (ScreenPoint p : {ScreenPoint{10, 500}, ScreenPoint{1919, 1079}, ScreenPoint{3199, 300},
                          ScreenPoint{3180, 1000}}) {
        EXPECT_EQ(menuAnchorX(p, desktop), p.x) << p.x << "," << p.y;
    }
    EXPECT_EQ(desktop.nearestQueries, 0);
}

TEST(MenuAnchorX, OffEveryMonitorXIsClampedIntoTheNearestWorkArea) {
    FakeMonitors desktop({kPrimary, kSecond});
    struct {
        ScreenPoint cursor;
        int32_t x;
    } cases[] = {
        {{-300, 500}, 60},  // left of the primary: its work area's left edge
        {{-1, 0}, 60},
        {{3500, 700}, 3150},  // right of the second: its work area's right edge
        {{3200, 1300}, 3150},
        {{2500, 100}, 2500},   // above the second, inside its work area's columns
        {{1000, 1500}, 1000},  // below the primary
        {{100, -50}, 100},     // above the primary, right of its taskbar
    };
    for (const auto& c : cases) {
        EXPECT_EQ(menuAnchorX(c.cursor, desktop), c.x) << c.cursor.x << "," << c.cursor.y;
    }
}

TEST(MenuAnchorX, WithoutMonitorInformationTheCursorXIsKept) {
    FakeMonitors none({});
    EXPECT_EQ(menuAnchorX({-300, 500}, none), -300);
    FakeMonitors failing({kPrimary}, /*infoFails=*/true);
    EXPECT_EQ(menuAnchorX({-300, 500}, failing), -300);
    EXPECT_EQ(menuAnchorX({5000, 500}, failing), 5000);
}

}  // namespace
}  // namespace lumenvik
