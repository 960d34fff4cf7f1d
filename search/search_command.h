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
    // `wordLength` is the word's, in UTF-16 units, for the limit's message;
    // `siteName` names the site in the messages of a mode with several
    // sites (siteNameOf), empty for a mode with one.
    virtual LaunchIssue openInBrowser(const std::string& url, const std::string& browser,
                                      std::size_t wordLength, const std::string& siteName) = 0;
    // Around the launches of one search: those between are started one
    // after the other, in order.
    virtual void beginLaunches() {}
    virtual void endLaunches() {}
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

// The URLs one search of `word` (UTF-16 units, as the box holds them)
// opens on `site`, in order: its first template, then its further sites,
// each expanded by UrlTemplate::expand in the mode's encoding.
std::vector<std::string> searchUrls(const SearchSite& site, bool japanLocal,
                                    const std::u16string& word);

// How the messages of a launch name site `number` (from 1) of `site` when
// the mode holds several: the mode's label, the number and the template.
std::string siteNameOf(const SearchSite& site, std::size_t number);

// Opens every URL of searchUrls in turn with the mode's browser, each
// launch on its own: one that fails or is too long is told (by the
// launch, naming the site) and the others still open. issued when at
// least one launch was handed over; otherwise tooLong when one was too
// long, else failed.
SearchResult openSearch(const SearchSite& site, bool japanLocal, const std::u16string& word,
                        SearchCommandPorts& ports);

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
