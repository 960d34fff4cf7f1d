#include "search/search_history.h"

namespace lumenvik {

void SearchHistory::record(const std::string& word, int32_t historySize) {
    cursor_ = -1;
    entries_.push_front(word);
    if (static_cast<int64_t>(entries_.size()) > historySize) entries_.pop_back();
}

void SearchHistory::clear() {
    entries_.clear();
    cursor_ = -1;
}

void SearchHistory::resetCursor() { cursor_ = -1; }

void SearchHistory::stepOlder() {
    ++cursor_;
    // With no entries this gives -1.
    if (cursor_ >= static_cast<int>(entries_.size()))
        cursor_ = static_cast<int>(entries_.size()) - 1;
}

void SearchHistory::stepNewer() {
    --cursor_;
    if (cursor_ < 0) cursor_ = 0;
}

const std::string& SearchHistory::entryToShow() const {
    static const std::string kNothing;
    // Outside the entries only when there are none: every step leaves the
    // cursor on an entry whenever one exists.
    if (cursor_ < 0 || cursor_ >= static_cast<int>(entries_.size())) return kNothing;
    return entries_[static_cast<std::size_t>(cursor_)];
}

}  // namespace lumenvik
