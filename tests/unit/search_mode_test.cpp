#include "search/search_mode.h"

#include <gtest/gtest.h>

#include <string>

namespace lumenvik {
namespace {

TEST(SearchModeLabel, EachModeHasItsLabelAndNothingOutside) {
    EXPECT_STREQ(searchModeLabel(0), "【 google 】 検索");
    EXPECT_STREQ(searchModeLabel(1), "【 google イメージ 】 検索");
    EXPECT_STREQ(searchModeLabel(2), "【 goo 英和 】検索");
    EXPECT_STREQ(searchModeLabel(3), "【 goo 和英 】検索");
    EXPECT_STREQ(searchModeLabel(4), "【 goo 辞書すべて 】検索");
    EXPECT_EQ(searchModeLabel(-1), nullptr);
    EXPECT_EQ(searchModeLabel(5), nullptr);
}

TEST(SearchModeCycle, NextGoesThroughAllFiveAndWrapsToWebSearch) {
    SearchMode mode = 0;
    const SearchMode expected[] = {1, 2, 3, 4, 0, 1};
    for (SearchMode want : expected) {
        mode = nextSearchMode(mode);
        EXPECT_EQ(mode, want);
    }
}

TEST(SearchModeCycle, PriorGoesBackwardsAndWrapsToAllDictionaries) {
    SearchMode mode = 0;
    const SearchMode expected[] = {4, 3, 2, 1, 0, 4};
    for (SearchMode want : expected) {
        mode = priorSearchMode(mode);
        EXPECT_EQ(mode, want);
    }
    EXPECT_STREQ(searchModeLabel(priorSearchMode(0)), "【 goo 辞書すべて 】検索");
    EXPECT_STREQ(searchModeLabel(nextSearchMode(4)), "【 google 】 検索");
}

}  // namespace
}  // namespace lumenvik
