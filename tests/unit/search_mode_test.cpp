#include "search/search_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumenvik {
namespace {

TEST(SearchModeLabel, EachModeHasItsLabelAndNothingOutside) {
    const SearchModes modes;
    EXPECT_STREQ(modes.label(0), "【 google 】 検索");
    EXPECT_STREQ(modes.label(1), "【 google イメージ 】 検索");
    EXPECT_STREQ(modes.label(2), "【 goo 英和 】検索");
    EXPECT_STREQ(modes.label(3), "【 goo 和英 】検索");
    EXPECT_STREQ(modes.label(4), "【 goo 辞書すべて 】検索");
    EXPECT_EQ(modes.label(-1), nullptr);
    EXPECT_EQ(modes.label(5), nullptr);
}

TEST(SearchModeCycle, NextGoesThroughAllFiveAndWrapsToWebSearch) {
    const SearchModes modes;
    SearchMode mode = 0;
    const SearchMode expected[] = {1, 2, 3, 4, 0, 1};
    for (SearchMode want : expected) {
        mode = modes.next(mode);
        EXPECT_EQ(mode, want);
    }
}

TEST(SearchModeCycle, PriorGoesBackwardsAndWrapsToAllDictionaries) {
    const SearchModes modes;
    SearchMode mode = 0;
    const SearchMode expected[] = {4, 3, 2, 1, 0, 4};
    for (SearchMode want : expected) {
        mode = modes.prior(mode);
        EXPECT_EQ(mode, want);
    }
    EXPECT_STREQ(modes.label(modes.prior(0)), "【 goo 辞書すべて 】検索");
    EXPECT_STREQ(modes.label(modes.next(4)), "【 google 】 検索");
}

TEST(SearchModeCycle, RunsOverEveryModeOfALongerList) {
    std::vector<SearchSite> sites = builtInSearchSites();
    sites.resize(7, sites[0]);
    const SearchModes modes(sites);
    EXPECT_EQ(modes.next(4), 5);
    EXPECT_EQ(modes.next(6), 0);
    EXPECT_EQ(modes.prior(0), 6);
    EXPECT_EQ(modes.label(7), nullptr);
}

}  // namespace
}  // namespace lumenvik
