#include "app/display_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace lumenvik {
namespace {

TEST(DisplayScale, ScalesAsMulDivRoundsAndKeepsTheValueForAFailedQuery) {
    EXPECT_EQ(scaleForDpi(kSearchBoxFontHeight, 96), 30);
    EXPECT_EQ(scaleForDpi(kSearchBoxFontHeight, 144), 45);
    EXPECT_EQ(scaleForDpi(kSearchBoxFontHeight, 120), 38);  // 37.5: half away from zero
    EXPECT_EQ(scaleForDpi(-30, 120), -38);
    EXPECT_EQ(scaleForDpi(45, 96, 144), 30);
    EXPECT_EQ(scaleForDpi(30, 0), 30);
    EXPECT_EQ(scaleForDpi(30, 144, 0), 30);
    EXPECT_EQ(scaleForDpi(1 << 24, 480), 5 << 24);  // no overflow on the way
}

// The sizes of the images in the committed icon file.
std::set<int> iconImageSizes() {
    std::ifstream in(LUMENVIK_SOURCE_DIR "/resources/lumenvik.ico", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::set<int> sizes;
    if (bytes.size() < 6) return sizes;
    const int count = static_cast<uint8_t>(bytes[4]) | static_cast<uint8_t>(bytes[5]) << 8;
    for (int i = 0; i < count && 6u + 16u * i < bytes.size(); ++i) {
        const int width = static_cast<uint8_t>(bytes[6 + 16 * i]);
        sizes.insert(width == 0 ? 256 : width);
    }
    return sizes;
}

TEST(DisplayScale, TheIconHoldsAnImageForEachSizeAskedAtTheCommonScalings) {
    const std::set<int> sizes = iconImageSizes();
    ASSERT_FALSE(sizes.empty());
    // The small and large icons at 96 DPI, asked for windows at 100, 125,
    // 150 and 200 %, by a system at 96 DPI and by one at 150 %.
    for (int systemDpi : {96, 144}) {
        for (int atBase : {16, 32}) {
            const int systemSize = scaleForDpi(atBase, systemDpi);
            for (int dpi : {96, 120, 144, 192}) {
                const int size = iconSizeForDpi(systemSize, systemDpi, dpi);
                EXPECT_EQ(size, scaleForDpi(atBase, dpi));
                EXPECT_EQ(sizes.count(size), 1u) << atBase << " px at " << dpi << " DPI";
            }
        }
    }
}

TEST(DisplayScale, CentresInTheWorkAreaAndKeepsTheWindowInsideIt) {
    // A work area below a taskbar, of a monitor left of the primary one.
    const WorkArea area{-1280, 30, 0, 1024};
    ScreenPoint p = centredIn(area, 869, 93);
    EXPECT_EQ(p.x, -640 - 434);
    EXPECT_EQ(p.y, 527 - 46);
    // Larger than the area: the left and top edges stay on the area's.
    p = centredIn(area, 1500, 1200);
    EXPECT_EQ(p.x, -1280);
    EXPECT_EQ(p.y, 30);
    // Division towards zero would leave it one pixel over the right edge.
    p = centredIn(WorkArea{-5, 0, 0, 10}, 5, 2);
    EXPECT_EQ(p.x, -5);
}

}  // namespace
}  // namespace lumenvik
