// Which monitor the search window opens on, and where on it, over monitors
// described by hand.
#include <gtest/gtest.h>

#include "app/monitor_choice.h"

namespace {

using namespace lumenvik;

// Primary 1920x1080 at 100 %; a second one left of it (negative x) at
// 150 %. Any answer can be taken away, as an unplugged monitor takes it.
class Desk : public MonitorPort {
  public:
    MonitorArea main{{0, 0, 1920, 1040}, 96};
    MonitorArea left{{-2560, -200, 0, 1200}, 144};
    std::optional<ScreenPoint> pointer = ScreenPoint{-1000, 300};
    std::optional<MonitorArea> front = left;
    bool leftGone = false;
    bool primaryGone = false;

    std::optional<MonitorArea> primary() override {
        if (primaryGone) return std::nullopt;
        return main;
    }
    std::optional<ScreenPoint> cursor() override { return pointer; }
    std::optional<MonitorArea> monitorAt(ScreenPoint p) override {
        if (p.x < 0) {
            if (leftGone) return std::nullopt;
            return left;
        }
        return main;
    }
    std::optional<MonitorArea> foregroundMonitor() override { return front; }
};

int leftOf(const std::optional<MonitorArea>& area) { return area ? area->work.left : -1; }

TEST(MonitorChoice, EachChoiceFindsItsMonitorAndFallsBackToThePrimary) {
    Desk desk;
    EXPECT_EQ(leftOf(chooseMonitor(ShowOn::primary, desk)), 0) << "whatever the pointer";
    EXPECT_EQ(leftOf(chooseMonitor(ShowOn::mouse, desk)), -2560);
    desk.pointer = ScreenPoint{500, 500};
    EXPECT_EQ(leftOf(chooseMonitor(ShowOn::active, desk)), -2560) << "the window, not the pointer";
    desk.front.reset();  // the desktop in front
    EXPECT_EQ(leftOf(chooseMonitor(ShowOn::active, desk)), 0) << "then the pointer's";

    // Unplugged: the pointer's and the window's monitor answer nothing.
    desk.pointer = ScreenPoint{-1000, 300};
    desk.front = desk.left;
    desk.leftGone = true;
    EXPECT_EQ(leftOf(chooseMonitor(ShowOn::mouse, desk)), 0);
    desk.front.reset();
    EXPECT_EQ(leftOf(chooseMonitor(ShowOn::active, desk)), 0);
    desk.pointer.reset();  // no pointer to ask
    EXPECT_EQ(leftOf(chooseMonitor(ShowOn::mouse, desk)), 0);

    desk.primaryGone = true;
    EXPECT_FALSE(chooseMonitor(ShowOn::mouse, desk).has_value()) << "nothing answers at all";
}

TEST(MonitorChoice, TheWindowIsCentredAtItsMonitorsResolution) {
    Desk desk;
    // 582 x 81 at 96 DPI on the 150 % monitor left of the primary one.
    const WindowRect onLeft = centredOn(desk.left, 582, 81, 96);
    EXPECT_EQ(onLeft.width, 873);
    EXPECT_EQ(onLeft.height, 122);
    EXPECT_EQ(onLeft.left, (-2560 + 0) / 2 - 873 / 2);
    EXPECT_EQ(onLeft.top, (-200 + 1200) / 2 - 122 / 2);
    // Back to the primary one from there: the size it had at 96 again.
    const WindowRect onMain = centredOn(desk.main, 873, 122, 144);
    EXPECT_EQ(onMain.width, 582);
    EXPECT_EQ(onMain.height, 81);
    EXPECT_EQ(onMain.left, 960 - 291);
    // Wider than the work area: it starts at the area's left edge.
    const WindowRect wide = centredOn(desk.main, 3000, 81, 96);
    EXPECT_EQ(wide.left, 0);
}

}  // namespace
