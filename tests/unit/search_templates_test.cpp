#include "search/search_mode.h"
#include "search/search_templates.h"

#include <gtest/gtest.h>

#include <string>

namespace lumenvik {
namespace {

const std::string kNihonSjis = "\x93\xFA\x96\x7B";  // 日本 in code page 932

const SearchSite& site(SearchMode mode) { return builtInSearchSites()[mode]; }

std::string urlFor(SearchMode mode, bool japanLocal, const std::string& word) {
    return searchTemplate(site(mode), japanLocal).expand(searchPlaceholders(site(mode), word));
}

TEST(SearchTemplates, EachModeWithTheWordNihonInCodePage932) {
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
        EXPECT_EQ(urlFor(c.mode, c.japanLocal, kNihonSjis), c.url)
            << "mode " << c.mode << " japanLocal " << c.japanLocal;
    }
}

TEST(SearchTemplates, AsciiWordsAreOnlyPercentEncoded) {
    EXPECT_EQ(urlFor(0, true, "1+1=2"),
              "http://www.google.co.jp/search?hl=ja&q=1%2b1%3d2&btnG=Google+%E6%A4%9C%E7%B4%A2"
              "&lr=lang_ja");
    EXPECT_EQ(urlFor(3, true, "a b"),
              "http://dictionary.goo.ne.jp/search.php?MT=a+b&kind=je&mode=0");
    EXPECT_EQ(urlFor(0, false, "   "),
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

TEST(SearchPlaceholders, ValuesPerMode) {
    const std::string w = "word";
    EXPECT_EQ(searchPlaceholders(site(0), w),
              (PlaceholderMap{{"[search_word]", w}, {"[lang]", "ja"}}));
    EXPECT_EQ(searchPlaceholders(site(1), w),
              (PlaceholderMap{{"[search_word]", w}, {"[lang]", "ja"}}));
    EXPECT_EQ(searchPlaceholders(site(2), w),
              (PlaceholderMap{{"[search_word]", w}, {"[dictionary]", "ej"}, {"[mode]", "0"}}));
    EXPECT_EQ(searchPlaceholders(site(3), w),
              (PlaceholderMap{{"[search_word]", w}, {"[dictionary]", "je"}, {"[mode]", "0"}}));
    EXPECT_EQ(searchPlaceholders(site(4), w),
              (PlaceholderMap{{"[search_word]", w}, {"[dictionary]", "all"}, {"[mode]", "0"}}));
}

}  // namespace
}  // namespace lumenvik
