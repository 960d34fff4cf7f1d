#include "search/search_command.h"

#include "search/url_template.h"
#include "transcode/factory.h"

namespace lumenvik {
namespace {

const char kBanner[] = "=======結果=========";

}  // namespace

std::string wordOfBox(const std::u16string& box) {
    std::string bytes;  // UTF-16LE
    bytes.reserve(box.size() * 2);
    for (std::size_t i = 0; i < box.size(); ++i) {
        char16_t u = box[i];
        const bool high = u >= 0xD800 && u <= 0xDBFF;
        const bool low = u >= 0xDC00 && u <= 0xDFFF;
        const bool pairs =
            high && i + 1 < box.size() && box[i + 1] >= 0xDC00 && box[i + 1] <= 0xDFFF;
        if (pairs) {
            bytes += static_cast<char>(u & 0xFF);
            bytes += static_cast<char>(u >> 8);
            u = box[++i];
        } else if (high || low) {
            u = 0xFFFD;
        }
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return transcode::translate_between(bytes, transcode::encoding_utf16le,
                                        transcode::encoding_utf8);
}

std::vector<std::string> searchUrls(const SearchSite& site, bool japanLocal,
                                    const std::u16string& word) {
    std::vector<std::string> urls{searchTemplate(site, japanLocal).expand(site.fixedValues, word)};
    for (const std::string& more : site.moreUrls) {
        urls.push_back(UrlTemplate(more, site.encoding).expand(site.fixedValues, word));
    }
    return urls;
}

std::string siteNameOf(const SearchSite& site, std::size_t number) {
    const std::string& url = number <= 1 ? site.url : site.moreUrls[number - 2];
    return "「" + site.label + "」の " + std::to_string(number) + " 番目のサイト（" + url + "）";
}

SearchResult openSearch(const SearchSite& site, bool japanLocal, const std::u16string& word,
                        SearchCommandPorts& ports) {
    const std::vector<std::string> urls = searchUrls(site, japanLocal, word);
    bool issued = false, tooLong = false;
    ports.beginLaunches();
    for (std::size_t i = 0; i < urls.size(); ++i) {
        const std::string name = urls.size() > 1 ? siteNameOf(site, i + 1) : std::string();
        switch (ports.openInBrowser(urls[i], site.browser, word.size(), name)) {
            case LaunchIssue::issued:
                issued = true;
                break;
            case LaunchIssue::tooLong:
                tooLong = true;
                break;
            case LaunchIssue::failed:
                break;
        }
    }
    ports.endLaunches();
    return issued ? SearchResult::issued : tooLong ? SearchResult::tooLong : SearchResult::failed;
}

SearchResult runSearch(const SearchSite& site, SearchHistory& history,
                       const SearchSettings& settings, SearchCommandPorts& ports) {
    const std::u16string box = ports.readBoxText();
    if (box.empty()) return SearchResult::emptyBox;
    const std::string word = wordOfBox(box);

    history.record(word, settings.historySize);

    // The word goes to the site's encoding from the box's own units.
    const SearchResult result = openSearch(site, settings.japanLocal != 0, box, ports);
    if (result == SearchResult::issued) ports.setBoxText(u"");
    return result;
}

std::vector<std::string> launchTrace(const std::string& url) {
    return {std::string(kBanner) + "\n", url, std::string("\n") + kBanner + "\n"};
}

}  // namespace lumenvik
