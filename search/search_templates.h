#pragma once
// The search sites: what each search mode shows and where it sends the word.
// The five built-in sites are fixed here; the user may replace and add sites
// in the settings file (search/search_modes_file.h).

#include <string>
#include <vector>

#include "search/url_template.h"

namespace lumenvik {

constexpr char kWebSearchHost[] = "www.google.co.jp";
constexpr char kImageSearchHost[] = "images.google.co.jp";
constexpr char kDictionaryHost[] = "dictionary.goo.ne.jp";

// What a mode does with the search box's input method when it becomes the
// current mode: nothing, open it, or close it.
enum class ImeWish { keep, on, off };

// One search mode: the label beside the box (UTF-8 text), the URL
// template and the encoding the site takes the word in. `fixedValues` are
// the placeholder values besides "[search_word]" (the built-in sites'
// "[lang]", "[dictionary]" and "[mode]"; a user's site has none).
struct SearchSite {
    std::string label;
    std::string url;
    transcode::encoding_id encoding = transcode::encoding_utf8;
    PlaceholderMap fixedValues;
    // The built-in web search only: its "lr=" ends the URL and gets
    // "lang_ja" when the search is restricted to Japanese pages.
    bool languageRange = false;
    // The input method's state the mode wants (the built-in sites: keep).
    ImeWish ime = ImeWish::keep;
    // The command line that opens the URL (search/browser_launch.h), UTF-8;
    // empty for the default browser.
    std::string browser;
    // Whether the offline dictionary's list shows under the box in this
    // mode (the built-in sites: no).
    bool dictionary = false;
    // The mode's further sites (at most kMaxSitesPerMode - 1 templates, each
    // holding "[search_word]"), opened after `url` by the same search, in
    // order, in the same encoding and browser.
    std::vector<std::string> moreUrls = {};
};

// The most URL templates one mode holds: `url` and three more.
constexpr std::size_t kMaxSitesPerMode = 4;

// The five built-in sites in cycling order: Google web and image search,
// then the dictionary's English-to-Japanese, Japanese-to-English and
// all-dictionaries look-ups.
const std::vector<SearchSite>& builtInSearchSites();

// The template of `site` with its target encoding. `japanLocal` restricts
// the built-in web search to Japanese pages ("lr=lang_ja"); it leaves every
// other site alone.
UrlTemplate searchTemplate(const SearchSite& site, bool japanLocal);

}  // namespace lumenvik
