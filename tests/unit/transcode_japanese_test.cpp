// The Japanese multibyte engines: named cases per engine (edge cases, and
// malformed input that must not swallow the text after it), the direct
// engines against the way through UTF-16, the kana composition maps, and
// streaming consistency.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#if defined(__unix__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "tests/unit/transcode_test_util.h"
#include "transcode/factory.h"
#include "transcode/simd.h"
#include "transcode/transcode.h"

using namespace transcode;
using tc_test::B;
using tc_test::hex;
using tc_test::W;

namespace {

const std::string ESC_B = B({0x1B, '(', 'B'});
const std::string ESC_J = B({0x1B, '(', 'J'});
const std::string ESC_K = B({0x1B, '$', 'B'});  // JIS X 0208
const std::string ESC_I = B({0x1B, '(', 'I'});
const std::string ESC_D = B({0x1B, '$', '(', 'D'});
const std::string SO = B({0x0E});
const std::string SI = B({0x0F});

struct case8 {
    const char* what;
    std::string in;
    std::string out;
};

struct case16 {
    const char* what;
    std::string in;
    std::wstring out;
};

template <class E>
void check_cases(const std::vector<case8>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(hex(translate_all<E>(c.in)), hex(c.out)) << c.what;
        EXPECT_EQ(tc_test::check_streaming<E>(c.in), "") << c.what;
    }
}

template <class E>
void check_cases(const std::vector<case16>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(hex(translate_all<E>(c.in)), hex(c.out)) << c.what;
        EXPECT_EQ(tc_test::check_streaming<E>(c.in), "") << c.what;
    }
}

std::wstring dec_sjis(const std::string& s) {
    return translate_all<sjis_cp932_to_unicode_engine>(s);
}
std::wstring dec_euc(const std::string& s) { return translate_all<euc_to_unicode_engine>(s); }

bool is_lead(unsigned c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool is_trail(unsigned t) { return t >= 0x40 && t <= 0xFC && t != 0x7F; }

// Every CP932 double-byte code with a character.
std::vector<std::string> mapped_sjis() {
    std::vector<std::string> v;
    for (unsigned c = 0x81; c <= 0xFC; ++c) {
        for (unsigned t = 0x40; t <= 0xFC; ++t) {
            if (is_lead(c) && is_trail(t) && dec_sjis(B({c, t})) != W({0x3F}))
                v.push_back(B({c, t}));
        }
    }
    return v;
}

// Every EUC-JP code with a character: two-byte, half-width kana, three-byte.
std::vector<std::string> mapped_euc() {
    std::vector<std::string> v;
    for (unsigned d = 0xA1; d <= 0xFE; ++d) {
        for (unsigned f = 0xA1; f <= 0xFE; ++f) {
            if (dec_euc(B({d, f})) != W({0x3F})) v.push_back(B({d, f}));
            if (dec_euc(B({0x8F, d, f})) != W({0x3F})) v.push_back(B({0x8F, d, f}));
        }
    }
    for (unsigned f = 0xA1; f <= 0xDF; ++f) v.push_back(B({0x8E, f}));
    return v;
}

}  // namespace

TEST(TranscodeSjisToUnicode, Cases) {
    check_cases<sjis_cp932_to_unicode_engine>({
        {"wave dash form", B({0x81, 0x60}), W({0xFF5E})},
        {"user-defined area has no mapping", B({0xF0, 0x40}), W({0x3F})},
        {"bad trail: lead rejected, space kept", B({0x82, 0x20}), W({0x3F, 0x20})},
        {"NUL passes", B({0x41, 0x00, 0x82, 0xA0, 0x00}), W({0x41, 0x00, 0x3042, 0x00})},
        {"half-width kana", B({0xB1, 0xDF}), W({0xFF71, 0xFF9F})},
        {"non-lead high bytes keep their values", B({0x80, 0xA0, 0xFD, 0xFE, 0xFF}),
         W({0x80, 0xA0, 0xFD, 0xFE, 0xFF})},
        {"lead at the end flushes as one ?", B({0x41, 0x82}), W({0x41, 0x3F})},
        {"IBM extension", B({0xFA, 0x40}), W({0x2170})},
    });
}

TEST(TranscodeSjisToUnicode, LeadWaitsAloneThenCompletes) {
    sjis_cp932_to_unicode_engine e;
    e.untranslated_buffer = B({0x82});
    e.translate();
    EXPECT_TRUE(e.translated_buffer.empty());
    EXPECT_EQ(e.untranslated_buffer, B({0x82}));
    e.untranslated_buffer += B({0xA0});
    e.translate();
    EXPECT_EQ(e.translated_buffer, W({0x3042}));
    EXPECT_TRUE(e.untranslated_buffer.empty());
}

TEST(TranscodeEucToUnicode, Cases) {
    check_cases<euc_to_unicode_engine>({
        {"hiragana a", B({0xA4, 0xA2}), W({0x3042})},
        {"NEC row 13 duplicate left out", B({0xAD, 0xF0}), W({0x3F})},
        {"NEC row 13 circled one", B({0xAD, 0xA1}), W({0x2460})},
        {"JIS X 0212 tilde", B({0x8F, 0xA2, 0xB7}), W({0x7E})},
        {"half-width kana", B({0x8E, 0xB1}), W({0xFF71})},
        {"8E with a non-kana byte", B({0x8E, 0xE0}), W({0x3F})},
        {"lead 90-9F is rejected with its byte", B({0x90, 0xA1}), W({0x3F})},
        // A stray lead must not swallow the letter after it.
        {"stray lead before ASCII", B({0xB8, 0x41, 0x42}), W({0x3F, 0x41, 0x42})},
        {"8E before ASCII", B({0x8E, 0x41}), W({0x3F, 0x41})},
        {"8F before ASCII", B({0x8F, 0x41, 0x42}), W({0x3F, 0x41, 0x42})},
        {"8F xx before ASCII", B({0x8F, 0xA2, 0x41}), W({0x3F, 0x41})},
        {"lead before 8E kana", B({0xB8, 0x8E, 0xB1}), W({0x3F, 0xFF71})},
        {"lead before NUL", B({0xB8, 0x00}), W({0x3F, 0x00})},
        {"lone 8F then end", B({0x8F, 0xA2}), W({0x3F, 0x3F})},
        {"80, A0, FF keep their values", B({0x80, 0xA0, 0xFF}), W({0x80, 0xA0, 0xFF})},
    });
}

TEST(TranscodeUnicodeToMultibyte, Cases) {
    struct enc_case {
        const char* what;
        std::wstring in;
        std::string sjis, euc;
    };
    const enc_case cases[] = {
        {"wave dash one-way (CP932 only)", W({0x301C}), B({0x81, 0x60}), "?"},
        {"em dash one-way (no EUC-JP code)", W({0x2014}), B({0x81, 0x5C}), "?"},
        {"private use dropped", W({0x41, 0xE000, 0xF8FF, 0x42}), "AB", "AB"},
        {"yen has no code", W({0xA5}), "?", "?"},
        {"surrogates one ? each", W({0xD83D, 0xDE00}), "??", "??"},
        {"half-width kana", W({0xFF71}), B({0xB1}), B({0x8E, 0xB1})},
        {"JIS X 0212 only", W({0x4E02}), "?", B({0x8F, 0xB0, 0xA1})},
        {"NUL", W({0x00, 0x3042}), B({0x00, 0x82, 0xA0}), B({0x00, 0xA4, 0xA2})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hex(translate_all<unicode_to_sjis_cp932_engine>(c.in)), hex(c.sjis)) << c.what;
        EXPECT_EQ(hex(translate_all<unicode_to_euc_engine>(c.in)), hex(c.euc)) << c.what;
    }
}

TEST(TranscodeSjisToEuc, Cases) {
    check_cases<sjis_to_euc_engine>({
        {"kanji", B({0x8C, 0x9F}), B({0xB8, 0xA1})},
        {"half-width kana", B({0xB1}), B({0x8E, 0xB1})},
        {"IBM extension", B({0xFA, 0x40}), B({0xFC, 0xF1})},
        {"IBM extension to JIS X 0208 symbol", B({0xFA, 0x54}), B({0xA2, 0xCC})},
        {"user-defined area: one ? per character", B({0xF0, 0x40, 0xF9, 0xFC, 0x41}), "??A"},
        {"user-defined lead with bad trail", B({0xF5, 0x20}), "? "},
        {"FC without entry: lead only", B({0xFC, 0x4C}), "?L"},
        {"bad trail", B({0x82, 0x0A}), B({0x3F, 0x0A})},
        {"NUL", B({0x00, 0x82, 0xA0}), B({0x00, 0xA4, 0xA2})},
        {"lead at the end", B({0x41, 0x8C}), "A?"},
    });
}

TEST(TranscodeEucToSjis, Cases) {
    check_cases<euc_to_sjis_engine>({
        {"kanji", B({0xB8, 0xA1}), B({0x8C, 0x9F})},
        {"half-width kana", B({0x8E, 0xB1}), B({0xB1})},
        {"rows 89-92 through the IBM table", B({0xFC, 0xF1}), B({0xFA, 0x40})},
        {"row 92 duplicate without entry", B({0xFC, 0xFB, 0x41}), "??A"},
        {"8E with a high non-kana byte: one ? for both", B({0x8E, 0xE0, 0x41}), "?A"},
        {"8E before ASCII", B({0x8E, 0x41}), "?A"},
        {"lead before ASCII", B({0xB8, 0x41}), "?A"},
        {"JIS X 0212 has no Shift_JIS form", B({0x8F, 0xB0, 0xA1, 0x41}), "?A"},
        {"8F before ASCII keeps it", B({0x8F, 0x41, 0x42}), "?AB"},
        {"8F xx before ASCII keeps it", B({0x8F, 0xB0, 0x41}), "?A"},
        {"NUL", B({0xB8, 0xA1, 0x00}), B({0x8C, 0x9F, 0x00})},
    });
}

TEST(TranscodeToJis, Cases) {
    check_cases<sjis_to_jis_engine>({
        {"ASCII, kanji, kana", B({'A', 0x8C, 0x9F, 0xB1}),
         "A" + ESC_K + B({0x38, 0x21}) + ESC_I + B({0x31}) + ESC_B},
        {"IBM extension", B({0xFA, 0x40}), ESC_K + B({0x7C, 0x71}) + ESC_B},
        {"user-defined area", B({0x8C, 0x9F, 0xF0, 0x40}), ESC_K + B({0x38, 0x21}) + ESC_B + "?"},
        {"bad trail", B({0x82, 0x41 - 0x30}), B({0x3F, 0x11})},
        {"waiting lead flushes after the closing designation", B({0x8C, 0x9F, 0x82}),
         ESC_K + B({0x38, 0x21}) + ESC_B + "?"},
        {"NUL", B({0x00, 0x8C, 0x9F, 0x00}),
         B({0x00}) + ESC_K + B({0x38, 0x21}) + ESC_B + B({0x00})},
    });
    check_cases<euc_to_jis_engine>({
        {"kanji and kana", B({0xB8, 0xA1, 0x8E, 0xB1}),
         ESC_K + B({0x38, 0x21}) + ESC_I + B({0x31}) + ESC_B},
        {"JIS X 0212", B({0x8F, 0xB0, 0xA3, 0x41}), ESC_D + B({0x30, 0x23}) + ESC_B + "A"},
        {"8E with a high non-kana byte", B({0x8E, 0xE0, 0x41}), "?A"},
        {"8F before ASCII keeps it", B({0x8F, 0x41, 0x42}), "?AB"},
        {"8F xx before ASCII keeps it", B({0xB8, 0xA1, 0x8F, 0xB0, 0x41}),
         ESC_K + B({0x38, 0x21}) + ESC_B + "?A"},
        {"lead before ASCII", B({0xB8, 0x41}), "?A"},
    });
}

TEST(TranscodeFromJis, Cases) {
    check_cases<jis_to_sjis_engine>({
        {"kanji", ESC_K + B({0x38, 0x21}) + ESC_B + "A", B({0x8C, 0x9F, 'A'})},
        {"rows 89-92 through the IBM table", ESC_K + B({0x7C, 0x71}), B({0xFA, 0x40})},
        // Using both bytes keeps the pairs after it aligned.
        {"row 92 without IBM entry: ? for the pair", ESC_K + B({0x7C, 0x7B, 0x21, 0x21}),
         B({0x3F, 0x81, 0x40})},
        {"kana by ESC ( I", ESC_I + B({0x31}) + ESC_B, B({0xB1})},
        {"SO enters kana, SI leaves", SO + B({0x31}) + SI + "A", B({0xB1, 'A'})},
        {"ESC ( J is ASCII", ESC_K + B({0x38, 0x21}) + ESC_J + "AB", B({0x8C, 0x9F, 'A', 'B'})},
        {"JIS X 0212 has no Shift_JIS form", ESC_D + B({0x30, 0x23}) + ESC_B + "A", "?A"},
        {"unknown escape uses three bytes", B({0x1B, 'x', 'y', 'z'}), "z"},
        {"ESC $ ( not followed by D", B({0x1B, '$', '(', 'A'}), "A"},
        {"odd byte in state 1 flushes", ESC_K + B({0x38}), "?"},
        {"NUL in ASCII", B({0x00, 'A', 0x00}), B({0x00, 'A', 0x00})},
    });
    check_cases<jis_to_euc_engine>({
        {"kanji", ESC_K + B({0x38, 0x21}) + ESC_B + "A", B({0xB8, 0xA1, 'A'})},
        {"JIS X 0212", ESC_D + B({0x30, 0x23}) + ESC_B, B({0x8F, 0xB0, 0xA3})},
        {"SO enters kana, SI leaves", SO + B({0x31, 0x32}) + SI + "A",
         B({0x8E, 0xB1, 0x8E, 0xB2, 'A'})},
        {"ESC ( J is ASCII", ESC_K + B({0x38, 0x21}) + ESC_J + "AB", B({0xB8, 0xA1, 'A', 'B'})},
        {"kana by ESC ( I", ESC_I + B({0x31}), B({0x8E, 0xB1})},
    });
}

TEST(TranscodeFromJis, SplitEscapeForJisX0212IsRecognised) {
    jis_to_euc_engine e;
    e.untranslated_buffer = B({0x1B, '$', '('});
    e.translate();
    EXPECT_TRUE(e.translated_buffer.empty());
    e.untranslated_buffer += B({'D', 0x30, 0x23});
    e.translate();
    EXPECT_EQ(e.translated_buffer, B({0x8F, 0xB0, 0xA3}));
    EXPECT_EQ(e.state, 3);
}

TEST(TranscodeFromJis, ByteInTheSoKanaStateIsConvertedAtOnce) {
    jis_to_sjis_engine e;
    e.untranslated_buffer = SO + B({0x31});
    e.translate();
    EXPECT_EQ(e.translated_buffer, B({0xB1}));
    EXPECT_TRUE(e.untranslated_buffer.empty());
    EXPECT_EQ(e.state, 4);
    e.untranslated_buffer = SI;
    e.translate();
    EXPECT_EQ(e.state, 0);
}

TEST(TranscodeJisStates, FlushClosesAndClearResetsWithoutWriting) {
    sjis_to_jis_engine enc;
    enc.untranslated_buffer = B({0x8C, 0x9F});
    enc.translate();
    EXPECT_EQ(enc.state, 1);
    enc.clear();
    EXPECT_EQ(enc.state, 0);
    EXPECT_TRUE(enc.translated_buffer.empty());
    enc.untranslated_buffer = "A";
    enc.translate();
    enc.flush();
    EXPECT_EQ(enc.translated_buffer, "A");  // no designation: still ASCII

    jis_to_sjis_engine dec;
    dec.untranslated_buffer = ESC_K + B({0x38});
    dec.translate();
    EXPECT_EQ(dec.state, 1);
    dec.clear();
    EXPECT_EQ(dec.state, 0);
    EXPECT_TRUE(dec.untranslated_buffer.empty());
    dec.untranslated_buffer = "AB";
    dec.translate();
    EXPECT_EQ(dec.translated_buffer, "AB");
    // A stream ending inside JIS X 0208 starts the next one in ASCII.
    dec.untranslated_buffer = ESC_K;
    dec.translate();
    dec.flush();
    EXPECT_EQ(dec.state, 0);
}

TEST(TranscodeJisToIso2022jp, Cases) {
    check_cases<jis_to_iso2022jp_engine>({
        {"voiced kana composed", ESC_I + B({0x36, 0x5E}), ESC_K + B({0x25, 0x2C}) + ESC_B},
        {"kana waiting at the end flushes plain", ESC_I + B({0x36}),
         ESC_K + B({0x25, 0x2B}) + ESC_B},
        {"semi-voiced", ESC_I + B({0x4A, 0x5F}), ESC_K + B({0x25, 0x51}) + ESC_B},
        {"voiced U", ESC_I + B({0x33, 0x5E}), ESC_K + B({0x25, 0x74}) + ESC_B},
        {"no semi-voiced form for KA", ESC_I + B({0x36, 0x5F}),
         ESC_K + B({0x25, 0x2B, 0x21, 0x2C}) + ESC_B},
        {"SO kana then SI", SO + B({0x21}) + SI + "A", ESC_K + B({0x21, 0x23}) + ESC_B + "A"},
        {"kana outside 21-5F", ESC_I + B({0x7E}), "?"},
        {"JIS X 0208 copied", ESC_K + B({0x30, 0x21}) + ESC_B + "A",
         ESC_K + B({0x30, 0x21}) + ESC_B + "A"},
        {"JIS X 0212 becomes ?", ESC_D + B({0x30, 0x23}) + ESC_B + "A", "?A"},
        {"kana then kanji stays in JIS X 0208", ESC_I + B({0x31}) + ESC_K + B({0x30, 0x21}),
         ESC_K + B({0x25, 0x22, 0x30, 0x21}) + ESC_B},
        {"NUL", B({0x00}) + ESC_I + B({0x31}) + ESC_B + B({0x00}),
         B({0x00}) + ESC_K + B({0x25, 0x22}) + ESC_B + B({0x00})},
    });
}

TEST(TranscodeJisToIso2022jp, KanaMapsGiveTheFullWidthKatakana) {
    initialize();
    initialize();  // a second call changes nothing
    // The full-width forms, read back through EUC-JP, are katakana (or the
    // five punctuation marks and the two sound marks), all different; a
    // voiced form is the next code point (U to VU excepted), a semi-voiced
    // form the one after.
    std::set<unsigned> seen;
    auto full_width = [](const std::string& kana) {
        const std::string iso = translate_all<jis_to_iso2022jp_engine>(ESC_I + kana);
        if (iso.size() != 8 || iso.compare(0, 3, ESC_K) != 0) return 0u;
        const std::wstring u = dec_euc(B({static_cast<unsigned char>(iso[3]) | 0x80u,
                                          static_cast<unsigned char>(iso[4]) | 0x80u}));
        return u.size() == 1 ? static_cast<unsigned>(u[0]) : 0u;
    };
    unsigned voiced = 0, semivoiced = 0;
    for (unsigned b = 0x21; b <= 0x5F; ++b) {
        const unsigned plain = full_width(B({b}));
        EXPECT_TRUE(seen.insert(plain).second) << b;
        if (b >= 0x26 && b <= 0x5D) {
            EXPECT_TRUE(plain >= 0x30A1 && plain <= 0x30FC) << b;
        }
        const unsigned v = full_width(B({b, 0x5E}));
        if (v) {
            ++voiced;
            EXPECT_EQ(v, b == 0x33 ? 0x30F4u : plain + 1) << b;
        }
        const unsigned s = full_width(B({b, 0x5F}));
        if (s) {
            ++semivoiced;
            EXPECT_EQ(s, plain + 2) << b;
        }
    }
    EXPECT_EQ(voiced, 21u);
    EXPECT_EQ(semivoiced, 5u);
    EXPECT_EQ(full_width(B({0x21})), 0x3002u);
    EXPECT_EQ(full_width(B({0x5E})), 0x309Bu);
}

TEST(TranscodeDirectEngines, SjisToEucAgreesWithTheWayThroughUtf16) {
    std::set<unsigned> left_out;
    for (const std::string& s : mapped_sjis()) {
        const std::string e = translate_all<sjis_to_euc_engine>(s);
        if (dec_euc(e) != dec_sjis(s)) {
            left_out.insert(static_cast<unsigned char>(s[0]) << 8 |
                            static_cast<unsigned char>(s[1]));
        }
        // The same character through JIS.
        const std::string jis = translate_all<sjis_to_jis_engine>(s);
        EXPECT_EQ(hex(translate_all<jis_to_euc_engine>(jis)), hex(e)) << hex(s);
        // FCFB, the duplicate of U+FFE2 in row 92, has no way back.
        const bool row92_duplicate = s == B({0xEE, 0xF9});
        EXPECT_EQ(hex(dec_sjis(translate_all<jis_to_sjis_engine>(jis))),
                  hex(row92_duplicate ? W({0x3F}) : dec_sjis(s)))
            << hex(s);
    }
    for (unsigned b = 0xA1; b <= 0xDF; ++b) {
        EXPECT_EQ(dec_euc(translate_all<sjis_to_euc_engine>(B({b}))), dec_sjis(B({b})));
    }
    // Only the ten codes the EUC-JP table leaves out differ.
    const std::set<unsigned> expected = {0x8790, 0x8791, 0x8792, 0x8795, 0x8796,
                                         0x8797, 0x879A, 0x879B, 0x879C, 0xEEF9};
    EXPECT_EQ(left_out, expected);
}

TEST(TranscodeDirectEngines, EucToSjisAndJisAgreeWithTheWayThroughUtf16) {
    unsigned count = 0;
    for (const std::string& e : mapped_euc()) {
        ++count;
        const std::string s = translate_all<euc_to_sjis_engine>(e);
        if (static_cast<unsigned char>(e[0]) == 0x8F) {
            EXPECT_EQ(s, "?") << hex(e);
        } else {
            EXPECT_EQ(hex(dec_sjis(s)), hex(dec_euc(e))) << hex(e);
        }
        const std::string jis = translate_all<euc_to_jis_engine>(e);
        EXPECT_EQ(hex(translate_all<jis_to_euc_engine>(jis)), hex(e));
        EXPECT_EQ(hex(translate_all<jis_to_sjis_engine>(jis)), hex(s)) << hex(e);
    }
    EXPECT_EQ(count, 7389u + 6067u);
}

namespace {

// Random text of whole characters and malformed bytes.
std::string random_text(const std::vector<std::string>& pool, unsigned seed, std::size_t n) {
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < n) s += pool[rng() % pool.size()];
    return s;
}

template <class E>
void check_long_streaming(const std::vector<std::string>& pool) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        const std::string text = random_text(pool, seed, 6000);
        EXPECT_EQ(tc_test::check_streaming<E>(text, seed), "");
    }
}

}  // namespace

TEST(TranscodeStreaming, EveryEngineOnLongMixedInput) {
    const std::vector<std::string> sjis = {"A",
                                           "\n",
                                           B({0x00}),
                                           B({0x8C, 0x9F}),
                                           B({0x82, 0xA0}),
                                           B({0xB1}),
                                           B({0xFA, 0x40}),
                                           B({0xF0, 0x40}),
                                           B({0x82}),
                                           B({0x82, 0x20}),
                                           B({0x80}),
                                           B({0xFC, 0x4C}),
                                           B({0xFF}),
                                           B({0x1B})};
    check_long_streaming<sjis_cp932_to_unicode_engine>(sjis);
    check_long_streaming<sjis_to_euc_engine>(sjis);
    check_long_streaming<sjis_to_jis_engine>(sjis);

    const std::vector<std::string> euc = {"A",
                                          B({0x00}),
                                          B({0xB8, 0xA1}),
                                          B({0x8E, 0xB1}),
                                          B({0x8F, 0xB0, 0xA3}),
                                          B({0x8F}),
                                          B({0xB8}),
                                          B({0x8E, 0xE0}),
                                          B({0xFC, 0xF1}),
                                          B({0xFC, 0xFB}),
                                          B({0x90, 0xA1}),
                                          B({0xAD, 0xF0}),
                                          B({0xFF})};
    check_long_streaming<euc_to_unicode_engine>(euc);
    check_long_streaming<euc_to_sjis_engine>(euc);
    check_long_streaming<euc_to_jis_engine>(euc);

    const std::vector<std::string> jis = {"A",
                                          B({0x00}),
                                          ESC_B,
                                          ESC_J,
                                          ESC_K,
                                          ESC_I,
                                          ESC_D,
                                          SO,
                                          SI,
                                          B({0x1B}),
                                          B({0x1B, '$'}),
                                          B({0x30, 0x21}),
                                          B({0x31}),
                                          B({0x36}),
                                          B({0x5E}),
                                          B({0x5F}),
                                          B({0x4A}),
                                          B({0x7C, 0x71}),
                                          B({0x1B, 'x', 'y'})};
    check_long_streaming<jis_to_sjis_engine>(jis);
    check_long_streaming<jis_to_euc_engine>(jis);
    check_long_streaming<jis_to_iso2022jp_engine>(jis);

    std::wstring units;
    std::mt19937 rng(5);
    const unsigned pool16[] = {0x41, 0x00,   0x3042, 0x691C, 0xFF71, 0xE000,
                               0xA5, 0xD83D, 0xDE00, 0x4E02, 0x2014};
    for (int k = 0; k < 3000; ++k) units.push_back(static_cast<wchar_t>(pool16[rng() % 11]));
    EXPECT_EQ(tc_test::check_streaming<unicode_to_sjis_cp932_engine>(units), "");
    EXPECT_EQ(tc_test::check_streaming<unicode_to_euc_engine>(units), "");
    EXPECT_EQ(tc_test::check_streaming<unicode_to_utf8_engine>(units), "");
}

TEST(TranscodeStreaming, ChainsOfTwinsMatchTheWholeInput) {
    const std::string sjis = random_text(
        {"A", B({0x8C, 0x9F}), B({0xB1}), B({0x82}), B({0xFA, 0x40}), B({0x00}), B({0xF0, 0x40})},
        9, 3000);
    using to_utf8 = twin_translate_engine<sjis_cp932_to_unicode_engine, unicode_to_utf8_engine>;
    using round =
        twin_translate_engine<twin_translate_engine<sjis_to_jis_engine, jis_to_euc_engine>,
                              euc_to_unicode_engine>;
    EXPECT_EQ(tc_test::check_streaming<to_utf8>(sjis), "");
    EXPECT_EQ(tc_test::check_streaming<round>(sjis), "");
    // Calls and the one-shot path agree where no mark is involved.
    EXPECT_EQ(tc_test::run_whole<round>(sjis), translate_all<round>(sjis));
    EXPECT_EQ(tc_test::run_whole<round>(sjis), dec_euc(translate_all<sjis_to_euc_engine>(sjis)));

    using utf8_to_euc_jis =
        twin_translate_engine<twin_translate_engine<utf8_to_unicode_engine, unicode_to_euc_engine>,
                              euc_to_jis_engine>;
    const std::string utf8 = translate_all<to_utf8>(sjis);
    EXPECT_EQ(tc_test::check_streaming<utf8_to_euc_jis>(utf8), "");
    EXPECT_EQ(tc_test::check_streaming<utf8_to_euc_jis>(
                  B({0xE6, 0xA4, 0x9C, 0xEF, 0xBD, 0xB1, 0x41, 0xE6})),
              "");
}

TEST(TranscodeStreaming, LargeInputInOneCallMatchesSmallPortions) {
    // More output than one output window holds, written in a single call.
    const std::string sjis =
        random_text({"A", B({0x8C, 0x9F}), B({0xB1}), B({0xFA, 0x40}), B({0x00})}, 11, 300000);
    const std::string euc = translate_all<sjis_to_euc_engine>(sjis);
    const std::string jis = translate_all<sjis_to_jis_engine>(sjis);
    std::vector<std::size_t> cuts;
    for (std::size_t k = 997; k < sjis.size(); k += 997) cuts.push_back(k);
    auto cut = [&](auto engine, const std::string& in) {
        return tc_test::run_cut(engine, in, cuts);
    };
    EXPECT_TRUE(cut(sjis_to_euc_engine(), sjis) == euc);
    EXPECT_TRUE(cut(sjis_to_jis_engine(), sjis) == jis);
    EXPECT_TRUE(cut(sjis_cp932_to_unicode_engine(), sjis) == dec_sjis(sjis));
    EXPECT_TRUE(cut(euc_to_unicode_engine(), euc) == dec_sjis(sjis));
    EXPECT_TRUE(cut(euc_to_sjis_engine(), euc) == translate_all<euc_to_sjis_engine>(euc));
    EXPECT_TRUE(cut(euc_to_jis_engine(), euc) == jis);
    EXPECT_TRUE(cut(jis_to_euc_engine(), jis) == euc);
    EXPECT_TRUE(cut(jis_to_sjis_engine(), jis) == translate_all<jis_to_sjis_engine>(jis));
    EXPECT_TRUE(cut(jis_to_iso2022jp_engine(), jis) == translate_all<jis_to_iso2022jp_engine>(jis));
    const std::wstring units = dec_sjis(sjis);
    const std::string utf8 = translate_all<unicode_to_utf8_engine>(units);
    // The one-shot path of a chain runs in blocks; it must equal stage by stage.
    using to_utf8 = twin_translate_engine<sjis_cp932_to_unicode_engine, unicode_to_utf8_engine>;
    using through_jis =
        twin_translate_engine<twin_translate_engine<sjis_to_jis_engine, jis_to_euc_engine>,
                              euc_to_unicode_engine>;
    EXPECT_TRUE(translate_all<to_utf8>(sjis) == utf8);
    EXPECT_TRUE(translate_all<through_jis>(sjis) == units);
    EXPECT_TRUE(translate_all<utf8_to_unicode_engine>(utf8) == units);
    EXPECT_TRUE(cut(utf8_to_unicode_engine(), utf8) == units);
    EXPECT_TRUE(translate_all<euc_to_unicode_engine>(translate_all<unicode_to_euc_engine>(units)) ==
                units);
    EXPECT_TRUE(translate_all<sjis_cp932_to_unicode_engine>(
                    translate_all<unicode_to_sjis_cp932_engine>(units)) == units);
}

namespace {

// Feeds the input one unit per call: every character then goes through the
// careful loop that checks each byte it reads, never the word-at-a-time fast
// loop that a whole input goes through.
template <class E>
typename E::to_type run_unit_by_unit(const typename E::from_type& input) {
    std::vector<std::size_t> cuts;
    for (std::size_t k = 1; k < input.size(); ++k) cuts.push_back(k);
    E engine;
    return tc_test::run_cut(engine, input, cuts);
}

using sjis_to_utf8 = twin_translate_engine<sjis_cp932_to_unicode_engine, unicode_to_utf8_engine>;
using euc_to_utf8 = twin_translate_engine<euc_to_unicode_engine, unicode_to_utf8_engine>;
using utf8_to_sjis = twin_translate_engine<utf8_to_unicode_engine, unicode_to_sjis_cp932_engine>;
using utf8_to_utf16le = twin_translate_engine<utf8_to_unicode_engine, unicode_to_WORD_engine>;

// The one-shot result (fast loops, and a single pass for the twins above)
// against the careful loop that unit-by-unit feeding goes through.
template <class E>
void expect_fast_as_careful(const typename E::from_type& text, const char* what) {
    EXPECT_TRUE(translate_all<E>(text) == run_unit_by_unit<E>(text)) << what;
}

// Runs f once for each SIMD level this processor offers, the plain kernels
// (SIMD forced off) first; leaves the best level in use.
template <class F>
void for_each_simd_level(F f) {
    for (int l = 0; l <= static_cast<int>(simd_available()); ++l) {
        const auto level = static_cast<simd_level>(l);
        ASSERT_EQ(level, use_simd(level));
        SCOPED_TRACE("SIMD level " + std::to_string(l));
        f();
    }
    use_simd(simd_available());
}

template <class E>
void check_fast_loop(const std::vector<std::string>& pool) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        const std::string text = random_text(pool, seed, 4000);
        EXPECT_EQ(hex(translate_all<E>(text)), hex(run_unit_by_unit<E>(text))) << "seed " << seed;
    }
}

}  // namespace

TEST(TranscodeFastLoops, AgreeWithUnitByUnitFeeding) {
    // Runs of ASCII of every length around the 8-byte words, the common
    // two-byte characters, and every malformed form, in random order.
    const std::vector<std::string> sjis = {"A",
                                           "ABCDEFG",
                                           "ABCDEFGHIJKLMNO",
                                           B({0x00}),
                                           B({0x8C, 0x9F}),
                                           B({0xE0, 0x40}),
                                           B({0xEF, 0xFC}),
                                           B({0xB1}),
                                           B({0xDF}),
                                           B({0xFA, 0x40}),
                                           B({0xFC, 0x4C}),
                                           B({0xF0, 0x40}),
                                           B({0xF9, 0xFC}),
                                           B({0x82}),
                                           B({0x82, 0x7F}),
                                           B({0x82, 0x20}),
                                           B({0x80}),
                                           B({0xA0}),
                                           B({0xFD}),
                                           B({0xFF})};
    check_fast_loop<sjis_cp932_to_unicode_engine>(sjis);
    check_fast_loop<sjis_to_euc_engine>(sjis);

    const std::vector<std::string> euc = {"A",
                                          "ABCDEFGHIJK",
                                          B({0x00}),
                                          B({0xB8, 0xA1}),
                                          B({0xA1, 0xFE}),
                                          B({0xFE, 0xA1}),
                                          B({0xAD, 0xF0}),
                                          B({0x8E, 0xB1}),
                                          B({0x8E, 0xE0}),
                                          B({0x8F, 0xB0, 0xA3}),
                                          B({0x8F, 0xA2, 0xA1}),
                                          B({0x8F}),
                                          B({0x8F, 0xB0}),
                                          B({0xB8}),
                                          B({0xB8, 0xFF}),
                                          B({0x90, 0xA1}),
                                          B({0xA0, 0xA1}),
                                          B({0xFF})};
    check_fast_loop<euc_to_unicode_engine>(euc);

    // JIS: every designation, with and without its pairs, stray shifts,
    // half a pair, and text of every length between the shifts.
    const std::vector<std::string> jis = {
        "\x1B$B",  "\x1B$@",  "\x1B(B",   "\x1B(J",
        "\x1B(I",  "\x1B$(D", "\x0E",     "\x0F",
        "\x1B",    "$B",      "\x30\x21", "\x24\x22\x24\x24\x24\x26",
        "\x36",    "\x5E",    "a\n",      "ABCDEFGHIJKLM",
        "\x7F\x80"};
    check_fast_loop<jis_to_euc_engine>(jis);
    check_fast_loop<jis_to_sjis_engine>(jis);

    const std::vector<std::string> utf8 = {"A",
                                           "ABCDEFGHIJ",
                                           B({0x00}),
                                           B({0xE6, 0xA4, 0x9C}),
                                           B({0xE3, 0x81, 0x82}),
                                           B({0xEF, 0xBD, 0xB1}),
                                           B({0xE0, 0x80, 0xAF}),
                                           B({0xED, 0xA0, 0xBD}),
                                           B({0xC2, 0xA5}),
                                           B({0xC0, 0xAF}),
                                           B({0xF0, 0x9F, 0x98, 0x80}),
                                           B({0xF4, 0x90, 0x80, 0x80}),
                                           B({0xF8, 0x80, 0x80, 0x80, 0xAF}),
                                           B({0xFD, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF}),
                                           B({0xE6}),
                                           B({0xE6, 0xA4}),
                                           B({0xF0, 0x9F}),
                                           B({0x80}),
                                           B({0xBF}),
                                           B({0xFE})};
    for_each_simd_level([&] {
        check_fast_loop<utf8_to_unicode_engine>(utf8);
        check_fast_loop<utf8_to_utf16le>(utf8);
    });

    // Encoders: every kind of unit, in random order.
    std::mt19937 rng(3);
    const unsigned pool16[] = {0x41,   0x00,   0x7F,   0x80,   0xA5,   0x7FF,  0x800,
                               0x3042, 0x691C, 0xFF71, 0xFFFF, 0xD83D, 0xDE00, 0xDBFF,
                               0xE000, 0xF8FF, 0xF900, 0x4E02, 0x2014, 0x2225, 0x00F7};
    std::wstring units;
    for (int k = 0; k < 4000; ++k) {
        units.push_back(static_cast<wchar_t>(pool16[rng() % (sizeof pool16 / sizeof *pool16)]));
    }
    EXPECT_EQ(hex(translate_all<unicode_to_utf8_engine>(units)),
              hex(run_unit_by_unit<unicode_to_utf8_engine>(units)));
    EXPECT_EQ(hex(translate_all<unicode_to_sjis_cp932_engine>(units)),
              hex(run_unit_by_unit<unicode_to_sjis_cp932_engine>(units)));
}

TEST(TranscodeFastLoops, EveryTwoByteCodeAgreesWithUnitByUnitFeedingAtEverySimdLevel) {
    // Each pair of bytes, then a letter, in one long input: the fast loops'
    // look-up tables must give what the careful loop gives for every code,
    // including the malformed ones.
    std::string pairs;
    for (unsigned b = 0x80; b < 0x100; ++b) {
        for (unsigned t = 0; t < 0x100; ++t) pairs += B({b, t, 'A'});
    }
    // Every three-byte UTF-8 form and every JIS X 0212 code, back to back.
    std::string utf8, euc3;
    for (unsigned a = 0xE0; a < 0xF0; ++a) {
        for (unsigned b = 0x80; b < 0xC0; ++b) {
            for (unsigned c = 0x80; c < 0xC0; ++c) utf8 += B({a, b, c});
        }
    }
    for (unsigned a = 0xA1; a < 0xFF; ++a) {
        for (unsigned b = 0xA1; b < 0xFF; ++b) euc3 += B({0x8F, a, b});
    }
    for_each_simd_level([&] {
        expect_fast_as_careful<sjis_cp932_to_unicode_engine>(pairs, "CP932");
        expect_fast_as_careful<sjis_to_utf8>(pairs, "CP932 to UTF-8");
        expect_fast_as_careful<sjis_to_euc_engine>(pairs, "CP932 to EUC-JP");
        expect_fast_as_careful<euc_to_unicode_engine>(pairs, "EUC-JP");
        expect_fast_as_careful<euc_to_utf8>(pairs, "EUC-JP to UTF-8");
        expect_fast_as_careful<euc_to_sjis_engine>(pairs, "EUC-JP to CP932");
        expect_fast_as_careful<utf8_to_unicode_engine>(pairs, "UTF-8");
        expect_fast_as_careful<utf8_to_sjis>(pairs, "UTF-8 to CP932");
        expect_fast_as_careful<utf8_to_utf16le>(pairs, "UTF-8 to UTF-16LE");
        expect_fast_as_careful<utf8_to_unicode_engine>(utf8, "UTF-8, three bytes");
        expect_fast_as_careful<utf8_to_utf16le>(utf8, "UTF-8 to UTF-16LE, three bytes");
        expect_fast_as_careful<euc_to_unicode_engine>(euc3, "JIS X 0212");
        expect_fast_as_careful<euc_to_utf8>(euc3, "JIS X 0212 to UTF-8");
    });
}

TEST(TranscodeFastLoops, AsciiRunsEndingAnywhereInAVectorAgreeAtEverySimdLevel) {
    // ASCII runs of 1 to 40 bytes between characters, and inputs cut after
    // every byte of the first 160: runs end at every place in a 16-byte
    // block and at every distance from the end of the input.
    std::string sjis, euc, utf8;
    std::wstring units;
    for (unsigned len = 1; len <= 40; ++len) {
        const std::string run(len, static_cast<char>('a' + len % 26));
        sjis += run + B({0x8C, 0x9F});
        euc += run + B({0xB8, 0xA1});
        utf8 += run + B({0xE6, 0xA4, 0x9C});
        units += std::wstring(run.begin(), run.end()) + W({0x691C});
    }
    for_each_simd_level([&] {
        for (std::size_t n = 0; n <= 160; ++n) {
            expect_fast_as_careful<sjis_to_utf8>(sjis.substr(0, n), "CP932 to UTF-8");
            expect_fast_as_careful<sjis_to_euc_engine>(sjis.substr(0, n), "CP932 to EUC-JP");
            expect_fast_as_careful<euc_to_unicode_engine>(euc.substr(0, n), "EUC-JP");
            expect_fast_as_careful<utf8_to_sjis>(utf8.substr(0, n), "UTF-8 to CP932");
            expect_fast_as_careful<utf8_to_utf16le>(utf8.substr(0, n), "UTF-8 to UTF-16LE");
            expect_fast_as_careful<unicode_to_utf8_engine>(units.substr(0, n), "to UTF-8");
        }
        expect_fast_as_careful<sjis_cp932_to_unicode_engine>(sjis, "CP932, whole");
        expect_fast_as_careful<euc_to_utf8>(euc, "EUC-JP to UTF-8, whole");
        expect_fast_as_careful<utf8_to_unicode_engine>(utf8, "UTF-8, whole");
        expect_fast_as_careful<unicode_to_utf8_engine>(units, "to UTF-8, whole");
    });
}

#if defined(__unix__)
TEST(TranscodeFastLoops, TheUtf8RunKernelReadsNoByteOutsideItsInput) {
    // Kana and letters flush against pages that cannot be read, at the
    // start and then at the end, cut at each of 64 lengths: a read beyond
    // either side is a fault.
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    auto* area = static_cast<unsigned char*>(
        mmap(nullptr, 3 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(static_cast<void*>(area), MAP_FAILED);
    ASSERT_EQ(0, mprotect(area, page, PROT_NONE) | mprotect(area + 2 * page, page, PROT_NONE));
    std::string text;
    std::vector<std::uint16_t> want;
    for (unsigned j = 0; j < 330; ++j) {
        want.push_back(static_cast<std::uint16_t>(j % 5 ? 0x3040 + j % 64 : 'a' + j % 26));
        text += j % 5 ? B({0xE3, 0x81, 0x80 + j % 64}) : std::string(1, 'a' + j % 26);
    }
    for_each_simd_level([&] {
        const detail::utf8_run_kernel runs = detail::kernels().utf8_runs_2;
        for (std::size_t n = text.size(); runs && n > text.size() - 64; --n) {
            for (unsigned char* at : {area + page, area + 2 * page - n}) {
                std::memcpy(at, text.data(), n);
                std::vector<std::uint16_t> got(n + 64);
                std::size_t units = 0;
                const std::size_t used = runs(at, n, n, got.data(), units);
                // Only the last few bytes are left to the step.
                ASSERT_TRUE(used <= n && used > n - 64) << used << " of " << n << " bytes";
                EXPECT_TRUE(std::equal(got.begin(), got.begin() + units, want.begin())) << n;
            }
        }
    });
    munmap(area, 3 * page);
}
#endif

TEST(TranscodeFastLoops, Utf16leSourcesAgreeWithTheirStagesAtEverySimdLevel) {
    // UTF-16LE text longer than an output window, in runs of one kind of
    // unit (ASCII, kana, kanji, every unit of U+3000-30FF, any unit above
    // ASCII) of every length up to a few vector blocks,
    // with units that leave the fast loops between them: half-width
    // katakana, JIS X 0212 kanji, the private use area, surrogates, the
    // bytes a JIS stream takes for shifts, units without a code.
    const unsigned odd[] = {0xFF76, 0xFF9E, 0x4E02, 0xE000, 0xD83D, 0xDE00, 0xDC00,
                            0x1B,   0x0E,   0x0F,   0x00,   0xFFFF, 0x00A5, 0x2460};
    const unsigned first[] = {0x41, 0x3041, 0x30A1, 0x4E00, 0x3000, 0x80};
    const unsigned span[] = {0x3E, 0x50, 0x50, 0x5000, 0x100, 0xFF80};
    std::mt19937 rng(11);
    std::string text;
    const auto put = [&](unsigned u) {
        text += static_cast<char>(u & 0xFF);
        text += static_cast<char>(u >> 8);
    };
    while (text.size() < 300000) {
        const unsigned kind = rng() % 6;
        for (unsigned n = rng() % 70; n > 0; --n) put(first[kind] + rng() % span[kind]);
        if (rng() % 3 == 0) put(odd[rng() % (sizeof odd / sizeof *odd)]);
    }
    text += '\x42';  // an odd last byte
    std::vector<std::size_t> cuts;
    for (std::size_t pos = 1 + rng() % 13; pos < text.size(); pos += 1 + rng() % 997) {
        cuts.push_back(pos);
    }
    using from_units = WORD_to_unicode_engine;
    twin_translate_engine<from_units, unicode_to_sjis_cp932_engine> cp932;
    twin_translate_engine<from_units, unicode_to_euc_engine> euc;
    twin_translate_engine<
        twin_translate_engine<twin_translate_engine<from_units, unicode_to_euc_engine>,
                              euc_to_jis_engine>,
        jis_to_iso2022jp_engine>
        iso;
    const std::string want_cp932 = tc_test::run_cut(cp932, text, cuts);
    const std::string want_euc = tc_test::run_cut(euc, text, cuts);
    const std::string want_iso = tc_test::run_cut(iso, text, cuts);
    // (Compared without printing 300 KB: the first byte that differs.)
    const auto expect_same = [&](const std::string& want, encoding_id to, const char* what) {
        const std::string got = translate_between(text, encoding_utf16le, to);
        const auto at = std::mismatch(want.begin(), want.end(), got.begin(), got.end());
        EXPECT_TRUE(want == got) << what << ": " << want.size() << " bytes wanted, " << got.size()
                                 << " given, first difference at " << (at.first - want.begin());
    };
    for_each_simd_level([&] {
        expect_same(want_cp932, encoding_sjis, "CP932");
        expect_same(want_euc, encoding_euc, "EUC-JP");
        expect_same(want_iso, encoding_iso2022jp, "ISO-2022-JP");
    });
}
