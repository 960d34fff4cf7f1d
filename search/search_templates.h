#pragma once
// The URL template and placeholder values of each search mode.

#include <string>

#include "search/search_mode.h"
#include "search/url_template.h"

namespace lumenvik {

constexpr char kWebSearchHost[] = "www.google.co.jp";
constexpr char kImageSearchHost[] = "images.google.co.jp";
constexpr char kDictionaryHost[] = "dictionary.goo.ne.jp";

// The template of `mode` with its target encoding: the Google modes (0, 1)
// take UTF-8, the dictionary modes (2-4) EUC-JP. The web search restricts
// results to Japanese pages ("lr=lang_ja") when `japanLocal` is set and
// keeps an empty "lr=" otherwise. A value outside 0-4 gets the web search.
UrlTemplate searchTemplate(SearchMode mode, bool japanLocal);

// The placeholder values of `mode` for `word`: "[search_word]" always;
// "[lang]" = "ja" for the Google modes; "[dictionary]" ("ej", "je", "all")
// and "[mode]" = "0" for the dictionary modes. A value outside 0-4 gets the
// web search's values.
PlaceholderMap searchPlaceholders(SearchMode mode, const std::string& word);

}  // namespace lumenvik
