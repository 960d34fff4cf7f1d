#include "app/copied_text.h"

#include <gtest/gtest.h>

#include <string>

namespace lumenvik {
namespace {

// UTF-16 text as the clipboard holds it, whatever the width of wchar_t.
std::wstring utf16(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

const std::string kNihongo = "\x93\xfa\x96\x7b\x8c\xea";  // 日本語 in code page 932

TEST(CopiedTextForBox, OneLineWithoutBlanksAtTheEnds) {
    const struct {
        std::u16string in;
        std::string out;
    } cases[] = {
        {u"a\r\nb", "a b"},  // CR LF is one line break
        {u"a\n\nb\rc", "a  b c"},
        {u"a\tb", "a b"},
        {u" \t word \r\n", "word"},
        {u"\u3000\u65e5\u672c\u8a9e\u3000 ", kNihongo},  // full-width blanks trimmed too
        {u"a\u3000b",
         "a\x81\x40"
         "b"},                                 // and kept inside
        {u"\u00e9\U0001F600\ue000.", "???."},  // one "?" per character CP932 lacks
        {u"\uff76\uff85", "\xb6\xc5"},         // half-width katakana stay single bytes
        {u" \r\n\t\u3000 ", ""},
        {u"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(copiedTextForBox(utf16(c.in), 100), c.out) << c.out;
    }
}

TEST(CopiedTextForBox, CutAtTheLimitInBytesNeverInsideADoubleByteCharacter) {
    EXPECT_EQ(copiedTextForBox(utf16(u"abcdef"), 4), "abcd");
    EXPECT_EQ(copiedTextForBox(utf16(u"  abcdef"), 4), "abcd") << "counted after the trim";
    EXPECT_EQ(copiedTextForBox(utf16(u"ab\u65e5\u672c"), 3), "ab");
    EXPECT_EQ(copiedTextForBox(utf16(u"ab\u65e5\u672c"), 4), "ab\x93\xfa");
    EXPECT_EQ(copiedTextForBox(utf16(u"\u65e5\u672c\u8a9e"), 5), "\x93\xfa\x96\x7b");
    EXPECT_EQ(copiedTextForBox(utf16(u"ab c"), 3), "ab") << "a blank left at the cut goes";
    EXPECT_EQ(copiedTextForBox(utf16(u"\u65e5"), 1), "");
}

}  // namespace
}  // namespace lumenvik
