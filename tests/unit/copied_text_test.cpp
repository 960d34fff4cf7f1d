#include "app/copied_text.h"

#include <gtest/gtest.h>

#include <string>

namespace lumenvik {
namespace {

// UTF-16 text as the clipboard holds it, whatever the width of wchar_t.
std::wstring utf16(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

TEST(CopiedTextForBox, OneLineWithoutBlanksAtTheEndsAndEveryCharacterAsItIs) {
    const struct {
        std::u16string in;
        std::u16string out;
    } cases[] = {
        {u"a\r\nb", u"a b"},  // CR LF is one line break
        {u"a\n\nb\rc", u"a  b c"},
        {u"a\tb", u"a b"},
        {u" \t word \r\n", u"word"},
        {u"\u3000\u65e5\u672c\u8a9e\u3000 ", u"\u65e5\u672c\u8a9e"},  // full-width blanks too
        {u"a\u3000b", u"a\u3000b"},                                   // and kept inside
        // Characters code page 932 lacks stay: accented Latin, Hangul, a
        // character outside the BMP, the private use area.
        {u"\u00e9\uD55C\U0001F600\U00020BB7\ue000.", u"\u00e9\uD55C\U0001F600\U00020BB7\ue000."},
        {u"\uff76\uff85", u"\uff76\uff85"},
        {u" \r\n\t\u3000 ", u""},
        {u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(copiedTextForBox(utf16(c.in), 100), utf16(c.out));
    }
}

TEST(CopiedTextForBox, CutAtTheLimitInUnitsNeverInsideASurrogatePair) {
    EXPECT_EQ(copiedTextForBox(utf16(u"abcdef"), 4), utf16(u"abcd"));
    EXPECT_EQ(copiedTextForBox(utf16(u"  abcdef"), 4), utf16(u"abcd")) << "counted after the trim";
    EXPECT_EQ(copiedTextForBox(utf16(u"ab\u65e5\u672c"), 3), utf16(u"ab\u65e5"));
    EXPECT_EQ(copiedTextForBox(utf16(u"ab\U0001F600"), 3), utf16(u"ab"));
    EXPECT_EQ(copiedTextForBox(utf16(u"ab\U0001F600"), 4), utf16(u"ab\U0001F600"));
    EXPECT_EQ(copiedTextForBox(utf16(u"ab c"), 3), utf16(u"ab")) << "a blank left at the cut goes";
}

}  // namespace
}  // namespace lumenvik
