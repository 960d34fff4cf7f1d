#include "app/display_scale.h"
#include "win/centre.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace lumenvik {
namespace {

TEST(DisplayScale, ScalesAsMulDivRoundsAndKeepsTheValueForAFailedQuery) {
    EXPECT_EQ(scaleForDpi(kSearchBoxFontHeight, 144), 45);
    EXPECT_EQ(scaleForDpi(kSearchBoxFontHeight, 120), 38);  // 37.5: half away from zero
    EXPECT_EQ(scaleForDpi(-30, 120), -38);
    EXPECT_EQ(scaleForDpi(45, 96, 144), 30);
    EXPECT_EQ(scaleForDpi(30, 0), 30);
    EXPECT_EQ(scaleForDpi(1 << 24, 480), 5 << 24);  // no overflow on the way
}

// The sizes of the images in the committed icon file.
std::set<int> iconImageSizes() {
    std::ifstream in(LUMENVIK_SOURCE_DIR "/resources/lumenvik.ico", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::set<int> sizes;
    if (bytes.size() < 6) return sizes;
    for (size_t i = 0; i < static_cast<uint8_t>(bytes[4]) && 6 + 16 * i < bytes.size(); ++i) {
        sizes.insert(static_cast<uint8_t>(bytes[6 + 16 * i]));  // width (0: 256)
    }
    return sizes;
}

TEST(DisplayScale, TheIconHoldsAnImageForEachSizeAskedAtTheCommonScalings) {
    const std::set<int> sizes = iconImageSizes();
    // The small and large icons (16 and 32 at 100 %) for windows at 100,
    // 125, 150 and 200 %, asked by a system at 100 % and by one at 150 %.
    for (int systemDpi : {96, 144}) {
        for (int atBase : {16, 32}) {
            for (int dpi : {96, 120, 144, 192}) {
                const int size = iconSizeForDpi(atBase * systemDpi / 96, systemDpi, dpi);
                EXPECT_EQ(size, atBase * dpi / 96);
                EXPECT_EQ(sizes.count(size), 1u) << size << " px at " << dpi << " DPI";
            }
        }
    }
}

TEST(Centre, CentresInTheAreaAndKeepsTheWindowInsideIt) {
    // A work area below a taskbar, of a monitor left of the primary one.
    EXPECT_EQ(win::centredStart(-1280, 0, 869), -640 - 434);
    EXPECT_EQ(win::centredStart(30, 1024, 93), 527 - 46);
    // Larger than the area: the left and top edges stay on the area's.
    EXPECT_EQ(win::centredStart(-1280, 0, 1500), -1280);
    EXPECT_EQ(win::centredStart(30, 1024, 1200), 30);
    // Division towards zero would leave it one pixel over the right edge.
    EXPECT_EQ(win::centredStart(-5, 0, 5), -5);
}

}  // namespace
}  // namespace lumenvik
