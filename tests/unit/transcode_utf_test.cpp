// UTF-8, UTF-16 byte order and 7-bit engines.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/unit/transcode_test_util.h"
#include "transcode/transcode.h"

using namespace transcode;
using tc_test::B;
using tc_test::hex;
using tc_test::W;

namespace {

struct decode_case {
    const char* what;
    std::string in;
    std::wstring out;
};

}  // namespace

TEST(TranscodeUtf8Decode, Cases) {
    const decode_case cases[] = {
        {"two kanji", B({0xE6, 0xA4, 0x9C, 0xE7, 0xB4, 0xA2}), W({0x691C, 0x7D22})},
        {"overlong slash accepted", B({0xC0, 0xAF}), W({0x2F})},
        {"four bytes give a pair", B({0xF0, 0x9F, 0x98, 0x80}), W({0xD83D, 0xDE00})},
        {"lone continuation", B({0x80}), W({0x3F})},
        {"above U+10FFFF is one replacement", B({0xF4, 0x90, 0x80, 0x80}), W({0x3F})},
        {"FE and FF are no leads", B({0xFE, 0xFF, 0x41}), W({0x3F, 0x3F, 0x41})},
        {"encoded surrogate passes as a unit", B({0xED, 0xA0, 0xBD}), W({0xD83D})},
        {"NUL passes through", B({0x41, 0x00, 0x42}), W({0x41, 0x00, 0x42})},
        {"U+10FFFF", B({0xF4, 0x8F, 0xBF, 0xBF}), W({0xDBFF, 0xDFFF})},
        {"five-byte overlong", B({0xF8, 0x80, 0x80, 0x80, 0xAF}), W({0x2F})},
        {"six-byte form beyond range", B({0xFD, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF}), W({0x3F})},
        // A sequence cut short by a non-continuation byte must not swallow it.
        {"truncated lead keeps following ASCII", B({0xE6, 0x41, 0x42}), W({0x3F, 0x41, 0x42})},
        {"two of three bytes then ASCII", B({0xE6, 0xA4, 0x41}), W({0x3F, 0x41})},
        {"truncated lead before another lead", B({0xE6, 0xE6, 0xA4, 0x9C}), W({0x3F, 0x691C})},
        {"cut four-byte before NUL", B({0xF0, 0x9F, 0x00}), W({0x3F, 0x00})},
        {"waiting at the end flushes per byte", B({0x41, 0xE6, 0xA4}), W({0x41, 0x3F, 0x3F})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hex(translate_all<utf8_to_unicode_engine>(c.in)), hex(c.out)) << c.what;
        EXPECT_EQ(tc_test::check_streaming<utf8_to_unicode_engine>(c.in), "") << c.what;
    }
}

TEST(TranscodeUtf8Decode, CutSequenceWaitsThenCompletesOrFlushes) {
    utf8_to_unicode_engine e;
    e.untranslated_buffer = B({0xE6, 0xA4});
    e.translate();
    EXPECT_TRUE(e.translated_buffer.empty());
    EXPECT_EQ(e.untranslated_buffer, B({0xE6, 0xA4}));
    e.untranslated_buffer += B({0x9C});
    e.translate();
    EXPECT_EQ(e.translated_buffer, W({0x691C}));
    EXPECT_TRUE(e.untranslated_buffer.empty());

    utf8_to_unicode_engine f;
    f.untranslated_buffer = B({0xE6, 0xA4});
    f.translate();
    f.flush();
    EXPECT_EQ(f.translated_buffer, W({0x3F, 0x3F}));
}

TEST(TranscodeUtf8Encode, Cases) {
    struct encode_case {
        const char* what;
        std::wstring in;
        std::string out;
    };
    const encode_case cases[] = {
        {"two kanji", W({0x691C, 0x7D22}), B({0xE6, 0xA4, 0x9C, 0xE7, 0xB4, 0xA2})},
        {"pair", W({0xD83D, 0xDE00}), B({0xF0, 0x9F, 0x98, 0x80})},
        {"high surrogate before a letter", W({0xD83D, 0x41}), B({0xED, 0xA0, 0xBD, 0x41})},
        {"lone low surrogate", W({0xDE00}), B({0xED, 0xB8, 0x80})},
        {"final high surrogate flushes as ?", W({0x41, 0xD83D}), B({0x41, 0x3F})},
        {"two-byte boundaries", W({0x7F, 0x80, 0x7FF, 0x800, 0xFFFF}),
         B({0x7F, 0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF})},
        {"NUL", W({0x00, 0x42}), B({0x00, 0x42})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hex(translate_all<unicode_to_utf8_engine>(c.in)), hex(c.out)) << c.what;
        EXPECT_EQ(tc_test::check_streaming<unicode_to_utf8_engine>(c.in), "") << c.what;
    }
    unicode_to_utf8_engine e;
    e.untranslated_buffer = W({0xD83D});
    e.translate();
    EXPECT_TRUE(e.translated_buffer.empty());
    e.untranslated_buffer += W({0x41});
    e.translate();
    EXPECT_EQ(e.translated_buffer, B({0xED, 0xA0, 0xBD, 0x41}));
}

TEST(TranscodeUtf8, EveryBmpUnitAndEveryPairRoundTrips) {
    std::wstring all;
    for (unsigned u = 0; u < 0x10000; ++u) {
        if (u < 0xD800 || u > 0xDFFF) all.push_back(static_cast<wchar_t>(u));
    }
    for (unsigned hi = 0xD800; hi < 0xDC00; hi += 7) {
        for (unsigned lo = 0xDC00; lo < 0xE000; lo += 61) {
            all.push_back(static_cast<wchar_t>(hi));
            all.push_back(static_cast<wchar_t>(lo));
        }
    }
    const std::string utf8 = translate_all<unicode_to_utf8_engine>(all);
    EXPECT_TRUE(translate_all<utf8_to_unicode_engine>(utf8) == all);
    EXPECT_EQ(tc_test::check_streaming<utf8_to_unicode_engine>(utf8), "");
    EXPECT_EQ(tc_test::check_streaming<unicode_to_utf8_engine>(all), "");
}

TEST(TranscodeUtf8Decode, RandomBytesStreamConsistentlyAndNeverLoseAscii) {
    std::mt19937 rng(7);
    for (int round = 0; round < 30; ++round) {
        std::string s;
        const char pool[] = {'\x41', '\x00', '\x80', '\xBF', '\xC2', '\xE6', '\xA4',
                             '\xF0', '\x9F', '\xF8', '\xFC', '\xFE', '\xED'};
        for (int k = 0; k < 200; ++k) s.push_back(pool[rng() % sizeof pool]);
        const std::wstring out = translate_all<utf8_to_unicode_engine>(s);
        std::size_t in_ascii = 0, out_ascii = 0;
        for (char c : s) in_ascii += (c == '\x41' || c == '\x00');
        for (wchar_t c : out) out_ascii += (c == 0x41 || c == 0);
        EXPECT_EQ(out_ascii, in_ascii);
        EXPECT_EQ(tc_test::check_streaming<utf8_to_unicode_engine>(s, round), "");
    }
}

TEST(TranscodeUtf16Bytes, ByteOrdersAndOddTail) {
    EXPECT_EQ(translate_all<unicode_to_WORD_engine>(W({0x3042})), B({0x42, 0x30}));
    EXPECT_EQ(translate_all<unicode_to_cross_WORD_engine>(W({0x3042})), B({0x30, 0x42}));
    EXPECT_EQ(translate_all<unicode_to_WORD_engine>(W({0x3042, 0x0, 0xFFFF})).size(), 6u);
    EXPECT_EQ(translate_all<cross_WORD_to_unicode_engine>(B({0x30, 0x42, 0x00, 0x00})),
              W({0x3042, 0x0000}));

    WORD_to_unicode_engine e;
    e.untranslated_buffer = B({0x41, 0x00, 0x42});
    e.translate();
    EXPECT_EQ(e.translated_buffer, W({0x41}));
    EXPECT_EQ(e.untranslated_buffer, B({0x42}));
    e.flush();
    EXPECT_EQ(e.translated_buffer, W({0x41, 0x3F}));
    EXPECT_TRUE(e.untranslated_buffer.empty());

    const std::string odd = B({0x42, 0x30, 0x00, 0xD8, 0x01});
    EXPECT_EQ(tc_test::check_streaming<WORD_to_unicode_engine>(odd), "");
    EXPECT_EQ(tc_test::check_streaming<cross_WORD_to_unicode_engine>(odd), "");
    const std::wstring units = W({0x3042, 0x0, 0xD800, 0xFFFF});
    EXPECT_EQ(translate_all<WORD_to_unicode_engine>(translate_all<unicode_to_WORD_engine>(units)),
              units);
    EXPECT_EQ(translate_all<cross_WORD_to_unicode_engine>(
                  translate_all<unicode_to_cross_WORD_engine>(units)),
              units);
}

TEST(TranscodeSevenBit, Cases) {
    EXPECT_EQ(translate_all<ansi_to_unicode_engine>(B({0x41, 0x00, 0x7F, 0x80, 0xFF})),
              W({0x41, 0x00, 0x7F, 0x3F, 0x3F}));
    EXPECT_EQ(translate_all<unicode_to_ansi_engine>(W({0xE9, 0x41, 0xE000, 0xF8FF, 0xF900, 0x0})),
              B({0x3F, 0x41, 0x3F, 0x00}));
}
