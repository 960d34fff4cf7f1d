#pragma once
// The search modes of the search box: the built-in sites, or the list the
// user defined, and their cycling order (the order of the mode keys).

#include <cstddef>
#include <vector>

#include "search/search_templates.h"

namespace lumenvik {

// An index into the current list of modes; 0 is the first (by default the
// Google web search), the mode that Shift+Enter and "googleStart" go to.
using SearchMode = int;

class SearchModes {
  public:
    // The five built-in sites.
    SearchModes();
    // At least one site; an empty list gives the built-in five.
    explicit SearchModes(std::vector<SearchSite> sites);

    std::size_t count() const { return sites_.size(); }
    bool contains(SearchMode mode) const {
        return mode >= 0 && static_cast<std::size_t>(mode) < sites_.size();
    }
    // The site of `mode`; a mode outside the list gets mode 0.
    const SearchSite& site(SearchMode mode) const;
    // The label text, or nullptr for a mode outside the list.
    const char* label(SearchMode mode) const;

    // One step back / forward in the cycle, wrapping between the first and
    // the last mode.
    SearchMode prior(SearchMode mode) const;
    SearchMode next(SearchMode mode) const;

  private:
    std::vector<SearchSite> sites_;
};

}  // namespace lumenvik
