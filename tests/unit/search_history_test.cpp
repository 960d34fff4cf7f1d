#include "search/search_history.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace lumenvik {
namespace {

std::vector<std::string> entriesOf(const SearchHistory& history) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < history.count(); ++i) out.push_back(history.entry(i));
    return out;
}

TEST(SearchHistoryRecord, NewestFirstAndEqualWordsHeldTwice) {
    SearchHistory history;
    history.record("W1", 100);
    history.record("W2", 100);
    history.record("W1", 100);
    EXPECT_EQ(entriesOf(history), (std::vector<std::string>{"W1", "W2", "W1"}));
    EXPECT_EQ(history.cursor(), -1);
}

TEST(SearchHistoryRecord, HundredAndFirstSearchDropsTheOldest) {
    SearchHistory history;
    for (int i = 1; i <= 101; ++i) history.record("w" + std::to_string(i), 100);
    ASSERT_EQ(history.count(), 100u);
    EXPECT_EQ(history.entry(0), "w101");
    EXPECT_EQ(history.entry(99), "w2");
}

TEST(SearchHistoryRecord, SizeZeroOrNegativeKeepsNothing) {
    for (int32_t size : {0, -1, -100, INT32_MIN}) {
        SearchHistory history;
        history.record("a", size);
        history.record("b", size);
        EXPECT_EQ(history.count(), 0u) << size;
        EXPECT_EQ(history.cursor(), -1);
    }
}

TEST(SearchHistoryRecord, LoweringTheSizeNeverShrinksTheCount) {
    SearchHistory history;
    for (int i = 1; i <= 50; ++i) history.record("old" + std::to_string(i), 100);
    for (int i = 1; i <= 5; ++i) {
        history.record("new" + std::to_string(i), 10);
        EXPECT_EQ(history.count(), 50u);
    }
    EXPECT_EQ(history.entry(0), "new5");
    EXPECT_EQ(history.entry(49), "old6");
}

TEST(SearchHistoryRecord, SizeIsReadAtEachRecord) {
    SearchHistory history;
    history.record("a", 1);
    history.record("b", 1);
    EXPECT_EQ(entriesOf(history), (std::vector<std::string>{"b"}));
    history.record("c", 3);
    history.record("d", 3);
    EXPECT_EQ(entriesOf(history), (std::vector<std::string>{"d", "c", "b"}));
}

TEST(SearchHistoryCursor, UpWalksToTheOldestAndStaysThere) {
    SearchHistory history;
    history.record("W1", 100);
    history.record("W2", 100);
    history.record("W1", 100);
    history.resetCursor();
    // The cursor tells the two W1 apart: 0 the newer, 2 the older.
    const std::vector<std::pair<int, std::string>> walk = {
        {0, "W1"}, {1, "W2"}, {2, "W1"}, {2, "W1"}, {2, "W1"}};
    for (const auto& step : walk) {
        history.stepOlder();
        EXPECT_EQ(history.cursor(), step.first);
        EXPECT_EQ(history.entryToShow(), step.second);
    }
}

TEST(SearchHistoryCursor, DownAtTheNewestStaysOnTheNewest) {
    SearchHistory history;
    history.record("older", 100);
    history.record("newest", 100);
    history.resetCursor();
    history.stepNewer();  // from "none" straight to the newest
    EXPECT_EQ(history.cursor(), 0);
    EXPECT_EQ(history.entryToShow(), "newest");
    history.stepNewer();
    EXPECT_EQ(history.cursor(), 0);
    EXPECT_EQ(history.entryToShow(), "newest");
    history.stepOlder();
    history.stepNewer();
    EXPECT_EQ(history.entryToShow(), "newest");
}

TEST(SearchHistoryCursor, WithNoEntriesBothStepsShowTheEmptyText) {
    SearchHistory history;
    history.stepOlder();
    EXPECT_EQ(history.cursor(), -1);
    EXPECT_EQ(history.entryToShow(), "");
    history.stepNewer();
    EXPECT_EQ(history.cursor(), 0);
    EXPECT_EQ(history.entryToShow(), "");
    history.stepOlder();
    EXPECT_EQ(history.entryToShow(), "");
}

TEST(SearchHistoryCursor, ARecordAndAResetBothClearTheCursor) {
    SearchHistory history;
    history.record("a", 100);
    history.record("b", 100);
    history.stepOlder();
    history.stepOlder();
    EXPECT_EQ(history.cursor(), 1);
    history.resetCursor();
    EXPECT_EQ(history.cursor(), -1);
    history.stepOlder();
    history.record("c", 100);
    EXPECT_EQ(history.cursor(), -1);
    history.stepOlder();
    EXPECT_EQ(history.entryToShow(), "c");
}

}  // namespace
}  // namespace lumenvik
