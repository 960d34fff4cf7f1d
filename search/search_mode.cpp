#include "search/search_mode.h"

#include <utility>

namespace lumenvik {

SearchModes::SearchModes() : sites_(builtInSearchSites()) {}

SearchModes::SearchModes(std::vector<SearchSite> sites) : sites_(std::move(sites)) {
    if (sites_.empty()) sites_ = builtInSearchSites();
}

const SearchSite& SearchModes::site(SearchMode mode) const {
    return sites_[contains(mode) ? static_cast<std::size_t>(mode) : 0];
}

const char* SearchModes::label(SearchMode mode) const {
    return contains(mode) ? sites_[static_cast<std::size_t>(mode)].label.c_str() : nullptr;
}

SearchMode SearchModes::prior(SearchMode mode) const {
    const auto last = static_cast<SearchMode>(sites_.size()) - 1;
    return mode <= 0 || mode > last ? last : mode - 1;
}

SearchMode SearchModes::next(SearchMode mode) const {
    const auto last = static_cast<SearchMode>(sites_.size()) - 1;
    return mode >= last || mode < 0 ? 0 : mode + 1;
}

}  // namespace lumenvik
