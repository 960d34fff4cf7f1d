#include "search/search_templates.h"

namespace lumenvik {
namespace {

// "%E6%A4%9C%E7%B4%A2" is the button text 検索 in UTF-8, already escaped
// and upper-case as the site sends it.
const std::string kWebQuery = "hl=[lang]&q=[search_word]&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=";

}  // namespace

UrlTemplate searchTemplate(SearchMode mode, bool japanLocal) {
    switch (mode) {
        case 1:
            return UrlTemplate(std::string("http://") + kImageSearchHost +
                                   "/images?svnum=10&hl=[lang]&client=opera&rls=ja&q=[search_word]"
                                   "&btnG=Google+%E6%A4%9C%E7%B4%A2",
                               transcode::encoding_utf8);
        case 2:
        case 3:
        case 4:
            return UrlTemplate(std::string("http://") + kDictionaryHost +
                                   "/search.php?MT=[search_word]&kind=[dictionary]&mode=[mode]",
                               transcode::encoding_euc);
        default:
            return UrlTemplate(std::string("http://") + kWebSearchHost + "/search?" + kWebQuery +
                                   (japanLocal ? "lang_ja" : ""),
                               transcode::encoding_utf8);
    }
}

PlaceholderMap searchPlaceholders(SearchMode mode, const std::string& word) {
    PlaceholderMap map;
    map["[search_word]"] = word;
    switch (mode) {
        case 2:
            map["[dictionary]"] = "ej";
            map["[mode]"] = "0";
            break;
        case 3:
            map["[dictionary]"] = "je";
            map["[mode]"] = "0";
            break;
        case 4:
            map["[dictionary]"] = "all";
            map["[mode]"] = "0";
            break;
        default:
            map["[lang]"] = "ja";
            break;
    }
    return map;
}

}  // namespace lumenvik
