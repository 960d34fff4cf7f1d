#include "search/search_mode.h"

namespace lumenvik {
namespace {

// Modes 0 and 1 have a blank between "】" and "検索", the goo modes none.
constexpr const char* kLabels[] = {
    "【 google 】 検索",  "【 google イメージ 】 検索", "【 goo 英和 】検索",
    "【 goo 和英 】検索", "【 goo 辞書すべて 】検索",
};

}  // namespace

const char* searchModeLabel(SearchMode mode) {
    if (mode < kFirstSearchMode || mode > kLastSearchMode) return nullptr;
    return kLabels[mode];
}

SearchMode priorSearchMode(SearchMode mode) {
    return mode <= kFirstSearchMode ? kLastSearchMode : mode - 1;
}

SearchMode nextSearchMode(SearchMode mode) {
    return mode >= kLastSearchMode ? kFirstSearchMode : mode + 1;
}

}  // namespace lumenvik
