#include "settings/number_field.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumenvik {
namespace {

struct FieldCase {
    const char* text;
    int32_t value;
};

void expectAll(const std::vector<FieldCase>& cases) {
    for (const FieldCase& c : cases) {
        EXPECT_EQ(numberFieldValue(c.text), c.value) << "text \"" << c.text << "\"";
    }
}

TEST(NumberFieldValue, TextThatFormsNoNumberGivesZero) {
    expectAll({
        {"", 0},
        {"abc", 0},
        {" ", 0},
        {"x12", 0},
        {"-5", 0},
        {"+5", 0},
        {"\xef\xbc\x91\xef\xbc\x92", 0},  // full-width "12" (UTF-8)
        {"\x82\x50\x82\x51", 0},          // full-width "12" (code page 932)
    });
}

TEST(NumberFieldValue, PlainAndLeadingDigitsAreRead) {
    expectAll({
        {"0", 0},
        {"500", 500},
        {"100", 100},
        {"007", 7},
        {"12abc", 12},
        {"12 3", 12},
        {"  42", 42},
        {"\t42", 42},
        {"42  ", 42},
        {"000000000000000000000000012", 12},
    });
}

TEST(NumberFieldValue, NumbersPastTheLargestSettingStopThereInsteadOfWrapping) {
    expectAll({
        {"2147483646", 2147483646},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"4294967295", 2147483647},
        {"4294967296", 2147483647},
        {"4294967297", 2147483647},
        {"18446744073709551617", 2147483647},
        {"99999999999999999999999999999999abc", 2147483647},
    });
}

}  // namespace
}  // namespace lumenvik
