#include "search/url_template.h"

#include <gtest/gtest.h>

#include <string>

namespace lumenvik {
namespace {

const std::string kNihonSjis = "\x93\xFA\x96\x7B";  // 日本 in code page 932
const char kNihonUtf8Encoded[] = "%e6%97%a5%e6%9c%ac";
const char kNihonEucEncoded[] = "%c6%fc%cb%dc";

TEST(UrlTemplateExpand, OnlyTheFirstOccurrenceOfATokenIsReplaced) {
    const UrlTemplate t("q=[search_word]&again=[search_word]", transcode::encoding_utf8);
    EXPECT_EQ(t.expand({{"[search_word]", "abc"}}), "q=abc&again=[search_word]");
}

TEST(UrlTemplateExpand, TokensWithoutAnEntryStayAndEntriesWithoutATokenChangeNothing) {
    const UrlTemplate t("a=[lang]&b=[mode]&c=[search_word]", transcode::encoding_utf8);
    EXPECT_EQ(t.expand({{"[search_word]", "x"}, {"[dictionary]", "ej"}}), "a=[lang]&b=[mode]&c=x");
    EXPECT_EQ(t.expand({}), "a=[lang]&b=[mode]&c=[search_word]");
}

TEST(UrlTemplateExpand, AnEmptyValueRemovesItsToken) {
    const UrlTemplate t("q=[search_word]&lr=", transcode::encoding_utf8);
    EXPECT_EQ(t.expand({{"[search_word]", ""}}), "q=&lr=");
}

TEST(UrlTemplateExpand, EveryValueIsConvertedToTheTargetAndPercentEncoded) {
    const UrlTemplate utf8("w=[search_word]&l=[lang]&m=[mode]", transcode::encoding_utf8);
    const PlaceholderMap map = {
        {"[search_word]", "1+1=2"}, {"[lang]", kNihonSjis}, {"[mode]", "a b"}};
    EXPECT_EQ(utf8.expand(map), std::string("w=1%2b1%3d2&l=") + kNihonUtf8Encoded + "&m=a+b");

    const UrlTemplate euc("w=[search_word]&l=[lang]&m=[mode]", transcode::encoding_euc);
    EXPECT_EQ(euc.expand(map), std::string("w=1%2b1%3d2&l=") + kNihonEucEncoded + "&m=a+b");
}

TEST(UrlTemplateExpand, EscapesAndSignsAlreadyInTheTemplateAreKept) {
    const UrlTemplate t("x=%E6%A4%9C+%5b[search_word]%5d&y=[mode]", transcode::encoding_euc);
    EXPECT_EQ(t.expand({{"[search_word]", "%"}, {"[mode]", "0"}}), "x=%E6%A4%9C+%5b%25%5d&y=0");
}

TEST(UrlTemplateExpand, AValueHoldingAnotherTokenIsEncodedAndNotExpandedAgain) {
    const UrlTemplate t("a=[dictionary]&b=[search_word]", transcode::encoding_utf8);
    // "[dictionary]" sorts first; the word's brackets come out escaped.
    EXPECT_EQ(t.expand({{"[search_word]", "[dictionary]"}, {"[dictionary]", "ej"}}),
              "a=ej&b=%5bdictionary%5d");
    const UrlTemplate u("b=[search_word]&a=[dictionary]", transcode::encoding_utf8);
    EXPECT_EQ(u.expand({{"[search_word]", "[dictionary]"}, {"[dictionary]", "ej"}}),
              "b=%5bdictionary%5d&a=ej");
}

TEST(UrlTemplate, ANewTemplateIsEmpty) {
    const UrlTemplate t;
    EXPECT_EQ(t.text, "");
    EXPECT_EQ(t.expand({{"[search_word]", "x"}}), "");
}

}  // namespace
}  // namespace lumenvik
