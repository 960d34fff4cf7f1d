#pragma once
// The search command: from the word in the search box to the browser.

#include <cstddef>
#include <string>

#include "search/search_history.h"
#include "search/search_templates.h"
#include "settings/search_settings.h"

namespace lumenvik {

// What the search command needs of the world around it; the search box
// answers with its edit control, OutputDebugStringA and the launches of
// search/browser_launch.h.
class SearchCommandPorts {
  public:
    virtual ~SearchCommandPorts() = default;
    // The box's text as the Unicode edit control holds it: UTF-16 units.
    virtual std::u16string readBoxText() = 0;
    virtual void setBoxText(const std::u16string& text) = 0;
    // One piece of debugger output.
    virtual void trace(const std::string& text) = 0;
    // Opens the URL with `browser`, a command line (browserCommandLine),
    // or in the default browser when it is empty; false when no browser
    // could be determined or started (the user has been told).
    virtual bool openInBrowser(const std::string& url, const std::string& browser) = 0;
};

// The box's text as UTF-8, converted by the library. An unpaired surrogate
// (an edit control holds any units) becomes U+FFFD first.
std::string wordOfBox(const std::u16string& box);

// Searches the box's word on `site`. An empty box does nothing and gives
// false. Otherwise the word, exactly as typed (wordOfBox), is recorded in
// `history` (with the history size of `settings` as it stands now) before
// the URL is built, so it stays there even when no browser is found. When
// the launch was issued, the box is emptied, the URL is traced between two
// banners and the result is true; when it was not, the box keeps its text,
// nothing is traced and the result is false. `japanLocal` is read at this
// run. The word goes to the site's encoding from the box's UTF-16 units,
// whatever the system's code page, exactly as a browser sends a form's text
// (UrlTemplate::expand with the word, transcode/web_form.h).
bool runSearch(const SearchSite& site, SearchHistory& history, const SearchSettings& settings,
               SearchCommandPorts& ports);

}  // namespace lumenvik
