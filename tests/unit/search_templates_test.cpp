#include "search/search_command.h"
#include "search/search_mode.h"
#include "search/search_templates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumenvik {
namespace {

const SearchSite& site(SearchMode mode) { return builtInSearchSites()[mode]; }

// The one URL a search of `word` opens in a built-in mode.
std::string urlFor(SearchMode mode, bool japanLocal, const std::u16string& word) {
    const std::vector<std::string> urls = searchUrls(site(mode), japanLocal, word);
    EXPECT_EQ(urls.size(), 1u);
    return urls.empty() ? std::string() : urls[0];
}

TEST(SearchTemplates, EachModeWithTheWordNihon) {
    const struct {
        SearchMode mode;
        bool japanLocal;
        const char* url;
    } cases[] = {
        {0, true,
         "http://www.google.co.jp/search?hl=ja&q=%e6%97%a5%e6%9c%ac"
         "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=lang_ja"},
        {0, false,
         "http://www.google.co.jp/search?hl=ja&q=%e6%97%a5%e6%9c%ac"
         "&btnG=Google+%E6%A4%9C%E7%B4%A2&lr="},
        {1, true,
         "http://images.google.co.jp/images?svnum=10&hl=ja&client=opera&rls=ja"
         "&q=%e6%97%a5%e6%9c%ac&btnG=Google+%E6%A4%9C%E7%B4%A2"},
        {1, false,
         "http://images.google.co.jp/images?svnum=10&hl=ja&client=opera&rls=ja"
         "&q=%e6%97%a5%e6%9c%ac&btnG=Google+%E6%A4%9C%E7%B4%A2"},
        {2, true, "http://dictionary.goo.ne.jp/search.php?MT=%c6%fc%cb%dc&kind=ej&mode=0"},
        {3, false, "http://dictionary.goo.ne.jp/search.php?MT=%c6%fc%cb%dc&kind=je&mode=0"},
        {4, true, "http://dictionary.goo.ne.jp/search.php?MT=%c6%fc%cb%dc&kind=all&mode=0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(urlFor(c.mode, c.japanLocal, u"日本"), c.url)
            << "mode " << c.mode << " japanLocal " << c.japanLocal;
    }
}

TEST(SearchTemplates, AsciiWordsAreOnlyPercentEncoded) {
    EXPECT_EQ(urlFor(0, true, u"1+1=2"),
              "http://www.google.co.jp/search?hl=ja&q=1%2b1%3d2&btnG=Google+%E6%A4%9C%E7%B4%A2"
              "&lr=lang_ja");
    EXPECT_EQ(urlFor(3, true, u"a b"),
              "http://dictionary.goo.ne.jp/search.php?MT=a+b&kind=je&mode=0");
    EXPECT_EQ(urlFor(0, false, u"   "),
              "http://www.google.co.jp/search?hl=ja&q=+++&btnG=Google+%E6%A4%9C%E7%B4%A2&lr=");
}

TEST(SearchTemplates, TargetEncodingPerMode) {
    for (SearchMode mode : {0, 1}) {
        EXPECT_EQ(searchTemplate(site(mode), true).target, transcode::encoding_utf8) << mode;
    }
    for (SearchMode mode : {2, 3, 4}) {
        EXPECT_EQ(searchTemplate(site(mode), true).target, transcode::encoding_euc) << mode;
    }
}

}  // namespace
}  // namespace lumenvik
