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
    // The length of the box's text in bytes.
    virtual std::size_t boxTextLength() = 0;
    // The box's text, read through a buffer of `bufferBytes` bytes (the
    // terminating NUL included).
    virtual std::string readBoxText(std::size_t bufferBytes) = 0;
    virtual void setBoxText(const std::string& text) = 0;
    // One piece of debugger output.
    virtual void trace(const std::string& text) = 0;
    // Opens the URL with `browser`, a command line (browserCommandLine),
    // or in the default browser when it is empty; false when no browser
    // could be determined or started (the user has been told).
    virtual bool openInBrowser(const std::string& url, const std::string& browser) = 0;
    // The process's ANSI code page: the box's text is in it.
    virtual unsigned ansiCodePage() = 0;
};

// Searches the box's word on `site`. An empty box does nothing and gives
// false. Otherwise the word, exactly as typed, is recorded in `history`
// (with the history size of `settings` as it stands now) before the URL is
// built, so it stays there even when no browser is found. When the launch
// was issued, the box is emptied, the URL is traced between two banners and
// the result is true; when it was not, the box keeps its text, nothing is
// traced and the result is false. `japanLocal` is read at this run. The
// word is converted from the encoding of the ANSI code page; only for a code
// page the library does not know is its encoding guessed.
bool runSearch(const SearchSite& site, SearchHistory& history, const SearchSettings& settings,
               SearchCommandPorts& ports);

}  // namespace lumenvik
