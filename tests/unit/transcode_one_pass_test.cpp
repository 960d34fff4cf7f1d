// The single-pass conversions (one kernel from the source bytes to the
// target bytes) against the stages they stand for, fed a unit at a time and
// cut everywhere, and against glibc iconv on valid text: the read-me's
// Japanese prose and random characters, then random bytes, at every SIMD
// level.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/unit/transcode_test_util.h"
#include "transcode/factory.h"
#include "transcode/one_pass.h"
#include "transcode/transcode.h"

using namespace transcode;
using tc_test::hex;

namespace {

// Converts with iconv; false where iconv rejects the text.
bool iconv_convert(const char* from, const char* to, const std::string& in, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string src = in;
    out.assign(in.size() * 4 + 16, '\0');
    char* ip = &src[0];
    std::size_t il = src.size();
    char* op = &out[0];
    std::size_t ol = out.size();
    const bool ok = iconv(cd, &ip, &il, &op, &ol) != static_cast<std::size_t>(-1) &&
                    iconv(cd, nullptr, nullptr, &op, &ol) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - ol);
    return ok;
}

template <class A, class B>
using twin = twin_translate_engine<A, B>;

struct one_pass_case {
    const char* name;
    encoding_id from, to;
    const char* iconv_from;
    const char* iconv_to;
    // The stages the kernel stands for, as engines.
    string_engine_ref (*plain)();
};

template <class E>
string_engine_ref make() {
    return string_engine_ref(new E);
}

std::ostream& operator<<(std::ostream& os, const one_pass_case& c) { return os << c.name; }

const one_pass_case cases[] = {
    {"Cp932ToUtf8", encoding_sjis, encoding_utf8, "CP932", "UTF-8",
     make<twin<sjis_cp932_to_unicode_engine, unicode_to_utf8_engine>>},
    {"Cp932ToUtf16le", encoding_sjis, encoding_utf16le, "CP932", "UTF-16LE",
     make<twin<sjis_cp932_to_unicode_engine, unicode_to_WORD_engine>>},
    {"EucToUtf8", encoding_euc, encoding_utf8, "EUC-JP-MS", "UTF-8",
     make<twin<euc_to_unicode_engine, unicode_to_utf8_engine>>},
    {"EucToUtf16le", encoding_euc, encoding_utf16le, "EUC-JP-MS", "UTF-16LE",
     make<twin<euc_to_unicode_engine, unicode_to_WORD_engine>>},
    {"Utf8ToCp932", encoding_utf8, encoding_sjis, "UTF-8", "CP932",
     make<twin<utf8_to_unicode_engine, unicode_to_sjis_cp932_engine>>},
    {"Utf8ToUtf16le", encoding_utf8, encoding_utf16le, "UTF-8", "UTF-16LE",
     make<twin<utf8_to_unicode_engine, unicode_to_WORD_engine>>},
    {"Utf16leToCp932", encoding_utf16le, encoding_sjis, "UTF-16LE", "CP932",
     make<twin<WORD_to_unicode_engine, unicode_to_sjis_cp932_engine>>},
    {"Utf16leToEuc", encoding_utf16le, encoding_euc, "UTF-16LE", "EUC-JP-MS",
     make<twin<WORD_to_unicode_engine, unicode_to_euc_engine>>},
    {"Utf16leToIso2022jp", encoding_utf16le, encoding_iso2022jp, "UTF-16LE", "ISO-2022-JP",
     make<twin<twin<twin<WORD_to_unicode_engine, unicode_to_euc_engine>, euc_to_jis_engine>,
               jis_to_iso2022jp_engine>>},
    {"Utf8ToIso2022jp", encoding_utf8, encoding_iso2022jp, "UTF-8", "ISO-2022-JP",
     make<twin<twin<twin<utf8_to_unicode_engine, unicode_to_euc_engine>, euc_to_jis_engine>,
               jis_to_iso2022jp_engine>>},
    {"Iso2022jpToUtf8", encoding_iso2022jp, encoding_utf8, "ISO-2022-JP", "UTF-8",
     make<twin<twin<jis_to_euc_engine, euc_to_unicode_engine>, unicode_to_utf8_engine>>},
};

// The plain stages over the input in portions ending at `cuts`.
std::string plain_cut(const one_pass_case& c, const std::string& in,
                      const std::vector<std::size_t>& cuts) {
    string_engine_ref e = c.plain();
    return tc_test::run_cut(*e, in, cuts);
}

std::vector<std::size_t> every_unit(std::size_t n) {
    std::vector<std::size_t> cuts;
    for (std::size_t k = 1; k < n; ++k) cuts.push_back(k);
    return cuts;
}

// Runs f at each SIMD level this processor offers, the plain kernels first.
template <class F>
void for_each_simd_level(F f) {
    for (int l = 0; l <= static_cast<int>(simd_available()); ++l) {
        ASSERT_EQ(static_cast<simd_level>(l), use_simd(static_cast<simd_level>(l)));
        SCOPED_TRACE("SIMD level " + std::to_string(l));
        f();
    }
    use_simd(simd_available());
}

// The kernel's output on `in` is the stages' fed one unit at a time (the
// careful loops) and the stages' cut at random places; short inputs are
// also cut at every single place.
void expect_as_plain(const one_pass_case& c, const std::string& in, const char* what) {
    const detail::one_pass_conversion kernel = detail::one_pass_for(c.from, c.to);
    ASSERT_NE(nullptr, kernel);
    const std::string got = kernel(in);
    EXPECT_EQ(hex(plain_cut(c, in, every_unit(in.size()))), hex(got)) << what;
    std::mt19937 rng(static_cast<unsigned>(in.size()));
    std::vector<std::size_t> cuts;
    for (std::size_t pos = 1 + rng() % 13; pos < in.size(); pos += 1 + rng() % 97) {
        cuts.push_back(pos);
    }
    EXPECT_EQ(hex(plain_cut(c, in, cuts)), hex(got)) << what << ", random cuts";
    if (in.size() <= 48) {
        for (std::size_t k = 1; k < in.size(); ++k) {
            EXPECT_EQ(hex(plain_cut(c, in, {k})), hex(got)) << what << ", cut at " << k;
        }
    }
}

// Valid text in UTF-8 (what the read-me, the pool and iconv agree on) made
// into the pair's source by iconv: the kernel gives iconv's target bytes.
void expect_as_iconv(const one_pass_case& c, const std::string& utf8, const char* what) {
    std::string in, want;
    ASSERT_TRUE(iconv_convert("UTF-8", c.iconv_from, utf8, in)) << what;
    ASSERT_TRUE(iconv_convert("UTF-8", c.iconv_to, utf8, want)) << what;
    EXPECT_EQ(hex(want), hex(detail::one_pass_for(c.from, c.to)(in))) << what;
    expect_as_plain(c, in, what);
}

std::string read_me() {
    std::ifstream f(LVTEST_JAPANESE_TEXT, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// The characters that code page 932 writes with more than one code (NEC
// row 13, the NEC-selected and the IBM extensions), as iconv decodes them:
// converters choose differently among the codes, so they are no common
// ground with iconv.
const std::set<std::string>& twin_coded() {
    static const std::set<std::string> twins = [] {
        std::set<std::string> seen, twice;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                std::string code{static_cast<char>(lead), static_cast<char>(trail)}, utf8;
                if (iconv_convert("CP932", "UTF-8", code, utf8) && !seen.insert(utf8).second) {
                    twice.insert(utf8);
                }
            }
        }
        return twice;
    }();
    return twins;
}

bool holds_twin_coded(const std::string& utf8) {
    for (const std::string& t : twin_coded()) {
        if (utf8.find(t) != std::string::npos) return true;
    }
    return false;
}

// The lines of the read-me that iconv converts both ways of the pair and
// back unchanged (a few hold characters outside JIS X 0208, outside the BMP
// or mapped one way only), without twin-coded characters, and without the
// yen sign and the overline, which iconv writes in JIS-Roman where the
// library's own ISO-2022-JP has no such set.
std::string corpus_for(const one_pass_case& c) {
    std::istringstream lines(read_me());
    std::string line, kept, a, b, back_a, back_b;
    while (std::getline(lines, line)) {
        line += '\n';
        if (iconv_convert("UTF-8", c.iconv_from, line, a) &&
            iconv_convert("UTF-8", c.iconv_to, line, b) &&
            iconv_convert(c.iconv_from, "UTF-8", a, back_a) &&
            iconv_convert(c.iconv_to, "UTF-8", b, back_b) && back_a == line && back_b == line &&
            !holds_twin_coded(line) && line.find("\u00A5") == std::string::npos &&
            line.find("\u203E") == std::string::npos) {
            kept += line;
        }
    }
    return kept;
}

// Random text from characters every peer maps alike: ASCII runs of every
// length, hiragana, katakana, kanji, punctuation; half-width katakana
// except into ISO-2022-JP (which has none; iconv refuses them).
std::string random_valid(const one_pass_case& c, unsigned seed) {
    std::vector<std::string> pool = {"a",    "Search ", "0123456789abcdefghijk",
                                     "\r\n", "\t",      "日",
                                     "本",   "語",      "検",
                                     "索",   "の",      "ぁ",
                                     "ア",   "ヴ",      "ー",
                                     "、",   "。",      "「",
                                     "」",   "￥"};
    if (c.to != encoding_iso2022jp && c.from != encoding_iso2022jp)
        pool.insert(pool.end(), {"ｱ", "ｶﾞ", "ﾟ", "①"});
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < 6000) s += pool[rng() % pool.size()];
    return s;
}

class TranscodeOnePass : public testing::TestWithParam<one_pass_case> {};

TEST_P(TranscodeOnePass, EqualsThePlainStagesAndIconv) {
    const one_pass_case& c = GetParam();
    const std::string corpus = corpus_for(c);
    ASSERT_GT(corpus.size(), 10000u);
    // Longer than an output window (64K units) and than the pieces the
    // kernels work in, so that the fast loops also stop at a window's limit.
    std::string longer, longer_in, longer_want;
    while (longer.size() < 200000) longer += corpus;
    ASSERT_TRUE(iconv_convert("UTF-8", c.iconv_from, longer, longer_in));
    ASSERT_TRUE(iconv_convert("UTF-8", c.iconv_to, longer, longer_want));
    for_each_simd_level([&] {
        expect_as_iconv(c, corpus, "the read-me");
        const std::string got = detail::one_pass_for(c.from, c.to)(longer_in);
        EXPECT_EQ(longer_want.size(), got.size()) << "the read-me repeated";
        EXPECT_EQ(
            longer_want.end() - longer_want.begin(),
            std::mismatch(longer_want.begin(), longer_want.end(), got.begin(), got.end()).first -
                longer_want.begin())
            << "the read-me repeated: first byte that differs";
        for (unsigned seed = 1; seed <= 3; ++seed) {
            expect_as_iconv(c, random_valid(c, seed), "random characters");
        }
        // Random bytes, and short ones (of odd and even lengths), with the
        // bytes that switch a JIS stream's state among them.
        std::mt19937 rng(7);
        const std::string odd("\x1B\x0E\x0F\xFF\x9E\x00", 6);
        for (std::size_t n : {std::size_t(4001), std::size_t(4000), std::size_t(37),
                              std::size_t(48), std::size_t(9)}) {
            std::string bytes;
            for (std::size_t k = 0; k < n; ++k) {
                bytes += static_cast<char>(rng() % 4 == 0 ? odd[rng() % odd.size()] : rng());
            }
            expect_as_plain(c, bytes, "random bytes");
        }
        // UTF-8 that random bytes hardly ever make, among ordinary text:
        // surrogates encoded one by one (alone and as a pair), four-byte
        // and overlong forms, cut sequences, the JIS shifts.
        const std::vector<std::string> utf8_pieces = {"\xED\xA0\x80",
                                                      "\xED\xB0\x80",
                                                      "\xED\xA0\xBD\xED\xB8\x80",
                                                      "\xF0\x9F\x98\x80",
                                                      "\xC0\xAF",
                                                      "\xE3\x81",
                                                      "\xE3\x81\x82",
                                                      "\x1B$B",
                                                      "\x0E",
                                                      "\x0F",
                                                      "a",
                                                      "\xEF\xBD\xB6",
                                                      "\xEF\xBE\x9E",
                                                      "\xED\x9F\xBF"};
        if (c.from == encoding_utf8) {
            for (unsigned seed = 1; seed <= 3; ++seed) {
                std::mt19937 pick(seed);
                std::string bytes;
                while (bytes.size() < 3000) bytes += utf8_pieces[pick() % utf8_pieces.size()];
                expect_as_plain(c, bytes, "odd sequences");
                expect_as_plain(c, bytes.substr(0, 40 + seed), "odd sequences, short");
            }
        }
        if (c.from == encoding_utf16le) {
            // Units no peer takes alike: half-width katakana and the sound
            // marks composed into them, the private use area between them,
            // JIS X 0212 kanji, surrogates alone and paired, the JIS shifts.
            const unsigned units[] = {0xFF76, 0xFF8A, 0xFF73, 0xFF9E, 0xFF9F, 0xFF71,
                                      0xE000, 0xF8FF, 0x4E02, 0x9DA9, 0xD83D, 0xDE00,
                                      0xDC00, 0x1B,   0x0E,   0x0F,   0x24,   0x42,
                                      0x41,   0x3042, 0x00,   0xFFFF, 0x00A5, 0x2460};
            for (unsigned seed = 1; seed <= 3; ++seed) {
                std::mt19937 pick(seed);
                std::string bytes;
                while (bytes.size() < 3000) {
                    const unsigned u = units[pick() % (sizeof units / sizeof *units)];
                    bytes += static_cast<char>(u & 0xFF);
                    bytes += static_cast<char>(u >> 8);
                }
                expect_as_plain(c, bytes, "odd units");
                expect_as_plain(c, bytes.substr(0, 40 + seed), "odd units, short");
            }
            // Every length up to a few vector blocks: each split between
            // blocks of units and the tail after them.
            std::mt19937 pick(4);
            std::string bytes;
            for (std::size_t len = 0; len <= 100; ++len) {
                const unsigned u = units[pick() % (sizeof units / sizeof *units)];
                expect_as_plain(c, bytes, "odd units, every length");
                bytes += static_cast<char>(u & 0xFF);
                bytes += static_cast<char>(u >> 8);
            }
        }
    });
}

INSTANTIATE_TEST_SUITE_P(Kernels, TranscodeOnePass, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<one_pass_case>& i) {
                             return std::string(i.param.name);
                         });

TEST(TranscodeOnePass, EveryPairWithAKernelIsTested) {
    int kernels = 0;
    for (encoding_id from = 0; from < 12; ++from) {
        for (encoding_id to = 0; to < 12; ++to)
            kernels += detail::one_pass_for(from, to) != nullptr;
    }
    EXPECT_EQ(static_cast<int>(sizeof cases / sizeof *cases), kernels);
}

}  // namespace
