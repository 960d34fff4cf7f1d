#pragma once
// The search command: from the word in the search box to the browser.

#include <cstddef>
#include <string>
#include <vector>

#include "search/browser_launch.h"
#include "search/search_history.h"
#include "search/search_templates.h"
#include "settings/search_settings.h"

namespace lumenvik {

// What the search command needs of the world around it; the search box
// answers with its edit control and the launches of search/browser_launch.h.
class SearchCommandPorts {
  public:
    virtual ~SearchCommandPorts() = default;
    // The box's text as the Unicode edit control holds it: UTF-16 units.
    virtual std::u16string readBoxText() = 0;
    virtual void setBoxText(const std::u16string& text) = 0;
    // Opens the URL with `browser`, a command line (browserCommandLine),
    // or in the user's browser when it is empty (search/browser_launch.h);
    // `wordLength` is the word's, in UTF-16 units, for the limit's message.
    virtual LaunchIssue openInBrowser(const std::string& url, const std::string& browser,
                                      std::size_t wordLength) = 0;
};

enum class SearchResult {
    emptyBox,  // nothing happened
    issued,    // the launch was handed over; the box is emptied
    failed,    // no browser could be determined (the user has been told)
    tooLong,   // over the launch's limit (the user has been told)
};

// The box's text as UTF-8, converted by the library. An unpaired surrogate
// (an edit control holds any units) becomes U+FFFD first.
std::string wordOfBox(const std::u16string& box);

// Searches the box's word on `site`. An empty box does nothing. Otherwise
// the word, exactly as typed (wordOfBox), is recorded in `history` (with the
// history size of `settings` as it stands now) before the URL is built, so
// it stays there even when no browser is found or the word is too long.
// When the launch was issued, the box is emptied; when it was not, the box
// keeps its text. `japanLocal` is read at this run. The word goes to the
// site's encoding from the box's UTF-16 units, whatever the system's code
// page, exactly as a browser sends a form's text (UrlTemplate::expand with
// the word, transcode/web_form.h).
SearchResult runSearch(const SearchSite& site, SearchHistory& history,
                       const SearchSettings& settings, SearchCommandPorts& ports);

// The debugger output of a launch that started: the URL between two
// banners, in the pieces that are written one after the other.
std::vector<std::string> launchTrace(const std::string& url);

}  // namespace lumenvik
