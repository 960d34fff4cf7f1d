#include "search/search_command.h"

#include "search/url_template.h"

namespace lumenvik {
namespace {

const char kBanner[] = "=======結果=========";

}  // namespace

bool runSearch(const SearchSite& site, SearchHistory& history, const SearchSettings& settings,
               SearchCommandPorts& ports) {
    const std::size_t length = ports.boxTextLength();
    if (length == 0) return false;
    const std::string word = ports.readBoxText(length + 1);

    const PlaceholderMap placeholders = searchPlaceholders(site, word);
    history.record(word, settings.historySize);

    const std::string url = searchTemplate(site, settings.japanLocal != 0)
                                .expand(placeholders, encodingOfCodePage(ports.ansiCodePage()));
    if (!ports.openInBrowser(url, site.browser)) return false;

    ports.setBoxText("");
    ports.trace(std::string(kBanner) + "\n");
    ports.trace(url);
    ports.trace(std::string("\n") + kBanner + "\n");
    return true;
}

}  // namespace lumenvik
