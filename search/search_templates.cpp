#include "search/search_templates.h"

namespace lumenvik {
namespace {

// "%E6%A4%9C%E7%B4%A2" is the button text 検索 in UTF-8, already escaped
// and upper-case as the site sends it.
std::string webSearchUrl() {
    return std::string("http://") + kWebSearchHost +
           "/search?hl=[lang]&q=[search_word]&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=";
}

std::string imageSearchUrl() {
    return std::string("http://") + kImageSearchHost +
           "/images?svnum=10&hl=[lang]&client=opera&rls=ja&q=[search_word]"
           "&btnG=Google+%E6%A4%9C%E7%B4%A2";
}

std::string dictionaryUrl() {
    return std::string("http://") + kDictionaryHost +
           "/search.php?MT=[search_word]&kind=[dictionary]&mode=[mode]";
}

SearchSite dictionary(const char* label, const char* kind) {
    return SearchSite{label,
                      dictionaryUrl(),
                      transcode::encoding_euc,
                      PlaceholderMap{{"[dictionary]", kind}, {"[mode]", "0"}},
                      false,
                      ImeWish::keep,
                      ""};
}

}  // namespace

const std::vector<SearchSite>& builtInSearchSites() {
    // Labels of the Google modes have a blank between "】" and "検索", the
    // dictionary modes none.
    static const std::vector<SearchSite> sites = {
        SearchSite{"【 google 】 検索", webSearchUrl(), transcode::encoding_utf8,
                   PlaceholderMap{{"[lang]", "ja"}}, true, ImeWish::keep, ""},
        SearchSite{"【 google イメージ 】 検索", imageSearchUrl(), transcode::encoding_utf8,
                   PlaceholderMap{{"[lang]", "ja"}}, false, ImeWish::keep, ""},
        dictionary("【 goo 英和 】検索", "ej"),
        dictionary("【 goo 和英 】検索", "je"),
        dictionary("【 goo 辞書すべて 】検索", "all"),
    };
    return sites;
}

UrlTemplate searchTemplate(const SearchSite& site, bool japanLocal) {
    return UrlTemplate(site.url + (site.languageRange && japanLocal ? "lang_ja" : ""),
                       site.encoding);
}

}  // namespace lumenvik
