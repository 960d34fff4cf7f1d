// The web-form encoders beside the library's own. Every word of the
// encoder table (tests/unit/web_form_oracle.txt) is checked through the
// search road in search_command_test.cpp; here: what only the engine shows
// (its streaming, the kana joining) and the two flavours side by side.
#include "transcode/web_form.h"

#include <gtest/gtest.h>

#include <string>

#include "transcode/transcode.h"

namespace transcode {
namespace {

std::wstring units(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

// Each character with the library's CP932 and EUC-JP encoders (files and
// text) and with the web form, the bytes written out by hand from the
// Encoding Standard and the code page 932 and EUC-JP tables.
TEST(WebForm, DiffersFromTheLibrarysOwnEncodersOnlyWhereTheStandardDoes) {
    const struct {
        const char16_t* word;
        const char* cp932;
        const char* sjis_web;
        const char* euc;
        const char* euc_web;
    } cases[] = {
        {u"髙", "\xEE\xE0", "\xFB\xFC", "\xFC\xE2", "\xFC\xE2"},  // IBM kanji
        {u"ⅰ", "\xEE\xEF", "\xFA\x40", "\xFC\xF1", "\xFC\xF1"},
        {u"¥", "?", "\x5C", "?", "\x5C"},
        {u"‾", "?", "\x7E", "?", "\x7E"},
        {u"−", "\x81\x7C", "\x81\x7C", "?", "\xA1\xDD"},  // as U+FF0D
        {u"é", "?", "&#233;", "\x8F\xAB\xB1", "&#233;"},  // JIS X 0212
        {u"¢", "\x81\x91", "&#162;", "?", "&#162;"},      // not in the index
        {u"〜", "\x81\x60", "&#12316;", "?", "&#12316;"},
        {u"\u0080", "?", "\x80", "?", "&#128;"},
        {u"\uE000", "", "&#57344;", "", "&#57344;"},  // private use
        {u"日本ｱ", "\x93\xFA\x96\x7B\xB1", "\x93\xFA\x96\x7B\xB1", "\xC6\xFC\xCB\xDC\x8E\xB1",
         "\xC6\xFC\xCB\xDC\x8E\xB1"},
    };
    for (const auto& c : cases) {
        const std::wstring w = units(c.word);
        EXPECT_EQ(translate_all<unicode_to_sjis_cp932_engine>(w), c.cp932) << c.sjis_web;
        EXPECT_EQ(translate_web_form(w, encoding_sjis), c.sjis_web);
        EXPECT_EQ(translate_all<unicode_to_euc_engine>(w), c.euc) << c.euc_web;
        EXPECT_EQ(translate_web_form(w, encoding_euc), c.euc_web);
    }
}

// The one difference from the standard that stays: on ISO-2022-JP a
// half-width katakana takes the sound mark after it, as the library's
// JIS-to-ISO-2022-JP engine does; a kana no mark can join keeps it apart.
TEST(WebForm, IsoKeepsTheKanaJoining) {
    const struct {
        const char16_t* word;
        const char* bytes;
    } cases[] = {
        {u"ｶﾞ", "\x1B$B%,\x1B(B"},       {u"ﾊﾟﾋﾞ", "\x1B$B%Q%S\x1B(B"}, {u"ｳﾞ", "\x1B$B%t\x1B(B"},
        {u"ｱﾞｶ", "\x1B$B%\"!+%+\x1B(B"}, {u"ｶ", "\x1B$B%+\x1B(B"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(translate_web_form(units(c.word), encoding_iso2022jp), c.bytes);
    }
    // Shift_JIS and EUC-JP keep half-width katakana as they are.
    EXPECT_EQ(translate_web_form(units(u"ｶﾞ"), encoding_sjis), "\xB6\xDE");
}

TEST(WebForm, ACharacterCutBetweenPortionsWaitsForItsRest) {
    unicode_to_web_form_engine iso(encoding_iso2022jp);
    iso.untranslated_buffer = units(u"日ｶ");
    iso.translate();
    EXPECT_EQ(iso.translated_buffer, "\x1B$BF|");  // the kana may take a mark
    iso.untranslated_buffer += units(u"ﾞ");
    iso.translate();
    iso.flush();
    EXPECT_EQ(iso.translated_buffer, "\x1B$BF|%,\x1B(B");

    unicode_to_web_form_engine sjis(encoding_sjis);
    sjis.untranslated_buffer = std::wstring(1, static_cast<wchar_t>(0xD83D));
    sjis.translate();
    EXPECT_EQ(sjis.translated_buffer, "");
    sjis.untranslated_buffer += static_cast<wchar_t>(0xDE00);
    sjis.translate();
    EXPECT_EQ(sjis.translated_buffer, "&#128512;");
    sjis.untranslated_buffer = std::wstring(1, static_cast<wchar_t>(0xD83D));
    sjis.flush();
    EXPECT_EQ(sjis.translated_buffer, "&#128512;&#65533;") << "a lone high surrogate at the end";

    // clear() forgets the shift state: no designation is closed or assumed.
    iso.untranslated_buffer = units(u"本");
    iso.translate();
    iso.clear();
    iso.untranslated_buffer = units(u"a");
    iso.flush();
    EXPECT_EQ(iso.translated_buffer, "a");
}

TEST(WebForm, OtherTargetsGetUtf8) {
    const std::wstring w = units(u"é😀") + static_cast<wchar_t>(0xDC00);
    for (encoding_id target : {encoding_utf8, encoding_utf16le}) {
        EXPECT_EQ(translate_web_form(w, target), "\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD") << target;
    }
}

}  // namespace
}  // namespace transcode
