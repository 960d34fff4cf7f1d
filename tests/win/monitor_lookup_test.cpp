// The tray menu's anchor with the platform's monitors.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/monitor_lookup.h"

namespace {

TEST(Win32MonitorLookup, PointsOnAndOffTheScreenAndTheAnchorBetweenThem) {
    lumenvik::win::Win32MonitorLookup monitors;
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    const int width = ::GetSystemMetrics(SM_CXSCREEN);

    EXPECT_TRUE(monitors.isOnMonitor({10, 10}));
    EXPECT_FALSE(monitors.isOnMonitor({-5000, 10}));
    EXPECT_FALSE(monitors.isOnMonitor({width + 5000, 10}));
    auto area = monitors.nearestWorkArea({-5000, 10});
    ASSERT_TRUE(area.has_value());
    EXPECT_EQ(area->left, work.left);
    EXPECT_EQ(area->right, work.right);
    EXPECT_EQ(area->top, work.top);
    EXPECT_EQ(area->bottom, work.bottom);

    EXPECT_EQ(lumenvik::menuAnchorX({300, 200}, monitors), 300);
    EXPECT_EQ(lumenvik::menuAnchorX({-5000, 200}, monitors), work.left);
    EXPECT_EQ(lumenvik::menuAnchorX({width + 5000, 200}, monitors), work.right);
}

}  // namespace
