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

SearchResult runSearch(const SearchSite& site, SearchHistory& history,
                       const SearchSettings& settings, SearchCommandPorts& ports) {
    const std::u16string box = ports.readBoxText();
    if (box.empty()) return SearchResult::emptyBox;
    const std::string word = wordOfBox(box);

    history.record(word, settings.historySize);

    // The word goes to the site's encoding from the box's own units.
    const std::string url =
        searchTemplate(site, settings.japanLocal != 0).expand(site.fixedValues, box);
    switch (ports.openInBrowser(url, site.browser, box.size())) {
        case LaunchIssue::issued:
            break;
        case LaunchIssue::tooLong:
            return SearchResult::tooLong;
        case LaunchIssue::failed:
            return SearchResult::failed;
    }
    ports.setBoxText(u"");
    return SearchResult::issued;
}

std::vector<std::string> launchTrace(const std::string& url) {
    return {std::string(kBanner) + "\n", url, std::string("\n") + kBanner + "\n"};
}

}  // namespace lumenvik
