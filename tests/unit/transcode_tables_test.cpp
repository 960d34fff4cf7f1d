// Exhaustive checks of the mapping tables through the engines: every one-
// and two-byte CP932 input, every EUC-JP two- and three-byte code, every BMP
// code point through both encoders, against glibc iconv where it agrees and
// against the arithmetic relation between Shift_JIS and EUC-JP.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/unit/transcode_iconv.h"
#include "tests/unit/transcode_test_util.h"
#include "transcode/tables.h"
#include "transcode/transcode.h"

using namespace transcode;
using tc_test::B;
using tc_test::hex;
using tc_test::W;

namespace {

std::wstring dec_sjis(const std::string& s) {
    return translate_all<sjis_cp932_to_unicode_engine>(s);
}
std::wstring dec_euc(const std::string& s) { return translate_all<euc_to_unicode_engine>(s); }

std::string pair_bytes(unsigned code) { return B({code >> 8, code & 0xFF}); }

bool is_lead(unsigned c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool is_trail(unsigned t) { return t >= 0x40 && t <= 0xFC && t != 0x7F; }

// The codes whose characters the CP932 decoder knows, as it decodes them.
std::map<unsigned, unsigned> decoded_cp932() {
    std::map<unsigned, unsigned> m;
    for (unsigned c = 0x81; c <= 0xFC; ++c) {
        if (!is_lead(c)) continue;
        for (unsigned t = 0x40; t <= 0xFC; ++t) {
            if (!is_trail(t)) continue;
            const std::wstring u = dec_sjis(B({c, t}));
            if (u.size() == 1 && u[0] != 0x3F) m[(c << 8) | t] = static_cast<unsigned>(u[0]);
        }
    }
    return m;
}

// Every EUC-JP two-byte code the decoder maps (the 8E row included), and
// every three-byte one (keyed 0x8Fxxyy).
std::map<unsigned, unsigned> decoded_euc() {
    std::map<unsigned, unsigned> m;
    for (unsigned d = 0xA1; d <= 0xFE; ++d) {
        for (unsigned f = 0xA1; f <= 0xFE; ++f) {
            const std::wstring u2 = dec_euc(B({d, f}));
            if (u2.size() == 1 && u2[0] != 0x3F) m[(d << 8) | f] = static_cast<unsigned>(u2[0]);
            const std::wstring u3 = dec_euc(B({0x8F, d, f}));
            if (u3.size() == 1 && u3[0] != 0x3F)
                m[0x8F0000 | (d << 8) | f] = static_cast<unsigned>(u3[0]);
        }
        const std::wstring k = dec_euc(B({0x8E, d}));
        if (k.size() == 1 && k[0] != 0x3F) m[0x8E00 | d] = static_cast<unsigned>(k[0]);
    }
    return m;
}

// The NEC row 13 duplicates and the U+FFE2 duplicate: their Shift_JIS codes
// move to EUC-JP codes that have no entry.
const std::set<unsigned> kEucLeftOutFromSjis = {0x8790, 0x8791, 0x8792, 0x8795, 0x8796,
                                                0x8797, 0x879A, 0x879B, 0x879C, 0xEEF9};

}  // namespace

TEST(TranscodeTables, CountsOfEveryTable) {
    unsigned cp932 = 0, kana = 0, euc2 = 0, x0212 = 0, ibm = 0;
    for (unsigned v : tables::cp932_to_unicode) cp932 += v != 0;
    for (unsigned v : tables::cp932_kana_to_unicode) kana += v != 0;
    for (unsigned v : tables::euc_to_unicode) euc2 += v != 0;
    for (unsigned v : tables::jisx0212_to_unicode) x0212 += v != 0;
    for (unsigned v : tables::ibm_to_euc) ibm += v != 0;
    EXPECT_EQ(cp932 + kana, 7787u);
    EXPECT_EQ(euc2, 7389u);
    EXPECT_EQ(x0212, 6067u);
    EXPECT_EQ(ibm, 388u);
    // The same counts as the engines see them.
    EXPECT_EQ(decoded_cp932().size() + 63, 7787u);
    const auto euc = decoded_euc();
    std::size_t three = 0;
    for (const auto& e : euc) three += e.first > 0xFFFF;
    EXPECT_EQ(euc.size() - three, 7389u);
    EXPECT_EQ(three, 6067u);
}

TEST(TranscodeTables, EveryOneAndTwoByteCp932InputAgreesWithIconv) {
    tc_test::iconv_decoder iconv("CP932");
    ASSERT_TRUE(iconv.ok());
    std::vector<std::uint32_t> ref;
    for (unsigned b = 0; b < 0x100; ++b) {
        std::wstring expect;
        if (is_lead(b)) {
            expect = W({0x3F});  // a lone lead waits and is flushed
        } else if (b >= 0xA1 && b <= 0xDF) {
            expect = W({0xFF61 + b - 0xA1});
        } else {
            expect = W({b});
        }
        EXPECT_EQ(hex(dec_sjis(B({b}))), hex(expect)) << b;
    }
    unsigned agreed = 0;
    for (unsigned c = 0x81; c <= 0xFC; ++c) {
        if (!is_lead(c)) continue;
        for (unsigned t = 0; t < 0x100; ++t) {
            const std::wstring got = dec_sjis(B({c, t}));
            if (!is_trail(t)) {
                // The lead alone is rejected; the second byte is read anew.
                EXPECT_EQ(hex(got), hex(W({0x3F}) + dec_sjis(B({t})))) << c << " " << t;
                continue;
            }
            const bool user_area = c >= 0xF0 && c <= 0xF9;
            if (!user_area && iconv.decode(B({c, t}), ref) && ref.size() == 1) {
                ASSERT_EQ(got.size(), 1u);
                EXPECT_EQ(static_cast<std::uint32_t>(got[0]), ref[0]) << hex(B({c, t}));
                ++agreed;
            } else {
                EXPECT_EQ(hex(got), hex(W({0x3F}))) << hex(B({c, t}));
            }
        }
    }
    EXPECT_EQ(agreed, 7724u);
}

TEST(TranscodeTables, EucTwoByteIsTheCp932TableMovedByTheStandardRelation) {
    // Independent derivation: EUC-JP row/cell to Shift_JIS by arithmetic,
    // then the CP932 decoder.
    unsigned mapped = 0;
    for (unsigned d = 0xA1; d <= 0xFE; ++d) {
        for (unsigned f = 0xA1; f <= 0xFE; ++f) {
            const unsigned row = d - 0xA0, cell = f - 0xA0;
            const unsigned lead = (row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0);
            unsigned trail;
            if (row % 2) {
                trail = cell + (cell <= 63 ? 0x3F : 0x40);
            } else {
                trail = cell + 0x9E;
            }
            std::wstring expect = W({0x3F});
            if (lead <= 0xEF && !kEucLeftOutFromSjis.count((lead << 8) | trail)) {
                expect = dec_sjis(B({lead, trail}));
            }
            const std::wstring got = dec_euc(B({d, f}));
            EXPECT_EQ(hex(got), hex(expect)) << hex(B({d, f}));
            mapped += got != W({0x3F});
        }
    }
    for (unsigned f = 0xA1; f <= 0xFE; ++f) {
        const std::wstring expect = f <= 0xDF ? W({0xFF61 + f - 0xA1}) : W({0x3F});
        EXPECT_EQ(hex(dec_euc(B({0x8E, f}))), hex(expect));
        mapped += f <= 0xDF;
    }
    EXPECT_EQ(mapped, 7389u);
}

TEST(TranscodeTables, EucAgreesWithIconvExceptTheCp932FormsAndTilde) {
    tc_test::iconv_decoder iconv("EUC-JP");
    ASSERT_TRUE(iconv.ok());
    std::vector<std::uint32_t> ref;
    std::set<std::string> differ;
    unsigned three = 0;
    for (unsigned d = 0xA1; d <= 0xFE; ++d) {
        for (unsigned f = 0xA1; f <= 0xFE; ++f) {
            // JIS X 0208 rows 1-84 (rows 13 and 89-92 are NEC and IBM
            // additions that the plain EUC-JP charset lacks).
            if (d != 0xAD && d <= 0xF4) {
                const std::wstring got = dec_euc(B({d, f}));
                if (got != W({0x3F}) && iconv.decode(B({d, f}), ref) && ref.size() == 1 &&
                    ref[0] != static_cast<std::uint32_t>(got[0])) {
                    differ.insert(hex(B({d, f})));
                }
            }
            const std::wstring got3 = dec_euc(B({0x8F, d, f}));
            if (iconv.decode(B({0x8F, d, f}), ref) && ref.size() == 1) {
                if (ref[0] == static_cast<std::uint32_t>(got3[0])) {
                    ++three;
                } else {
                    differ.insert(hex(B({0x8F, d, f})));
                }
            } else {
                EXPECT_EQ(hex(got3), hex(W({0x3F}))) << hex(B({0x8F, d, f}));
            }
        }
    }
    // CP932's own choices for six symbols, and JIS X 0212's tilde.
    const std::set<std::string> expected = {"A1 C1", "A1 C2", "A1 DD",   "A1 F1",
                                            "A1 F2", "A2 CC", "8F A2 B7"};
    EXPECT_EQ(differ, expected);
    EXPECT_EQ(three, 6066u);
}

TEST(TranscodeTables, EveryBmpCodePointThroughBothEncodersFollowsTheReverseRule) {
    // Reverse rule built from the decoders: the lowest code wins.
    std::map<unsigned, unsigned> to_cp932;
    for (unsigned b = 0xA1; b <= 0xDF; ++b) to_cp932.emplace(0xFF61 + b - 0xA1, b);
    for (const auto& e : decoded_cp932()) to_cp932.emplace(e.second, e.first);
    const std::map<unsigned, unsigned> one_way = {
        {0x00A2, 0x8191}, {0x00A3, 0x8192}, {0x00AC, 0x81CA}, {0x2014, 0x815C},
        {0x2016, 0x8161}, {0x2212, 0x817C}, {0x301C, 0x8160}};
    for (const auto& e : one_way) EXPECT_TRUE(to_cp932.emplace(e.first, e.second).second);
    std::map<unsigned, unsigned> to_euc;
    for (const auto& e : decoded_euc()) to_euc.emplace(e.second, e.first);

    auto bytes_of_code = [](unsigned code) {
        std::string s;
        if (code > 0xFFFF) s.push_back(static_cast<char>(code >> 16));
        if (code > 0xFF) s.push_back(static_cast<char>((code >> 8) & 0xFF));
        s.push_back(static_cast<char>(code & 0xFF));
        return s;
    };
    unsigned wrong_cp932 = 0, wrong_euc = 0;
    for (unsigned u = 0; u < 0x10000; ++u) {
        const std::wstring in = W({u});
        std::string expect_cp932, expect_euc;
        if (u < 0x80) {
            expect_cp932 = expect_euc = std::string(1, static_cast<char>(u));
        } else {
            const bool pua = u >= 0xE000 && u <= 0xF8FF;
            auto c = to_cp932.find(u);
            expect_cp932 = c != to_cp932.end() ? bytes_of_code(c->second) : pua ? "" : "?";
            auto e = to_euc.find(u);
            expect_euc = e != to_euc.end() ? bytes_of_code(e->second) : pua ? "" : "?";
        }
        const std::string got_cp932 = translate_all<unicode_to_sjis_cp932_engine>(in);
        const std::string got_euc = translate_all<unicode_to_euc_engine>(in);
        if (got_cp932 != expect_cp932 && ++wrong_cp932 < 10) {
            ADD_FAILURE() << "CP932 U+" << hex(in) << ": " << hex(got_cp932) << " not "
                          << hex(expect_cp932);
        }
        if (got_euc != expect_euc && ++wrong_euc < 10) {
            ADD_FAILURE() << "EUC-JP U+" << hex(in) << ": " << hex(got_euc) << " not "
                          << hex(expect_euc);
        }
    }
    EXPECT_EQ(wrong_cp932, 0u);
    EXPECT_EQ(wrong_euc, 0u);
}

TEST(TranscodeTables, NamedMappings) {
    struct mapping {
        std::string sjis;
        unsigned u;
    };
    // Decoding examples.
    EXPECT_EQ(dec_sjis(B({0x81, 0x60})), W({0xFF5E}));
    EXPECT_EQ(dec_sjis(B({0x87, 0x90})), W({0x2252}));
    EXPECT_EQ(dec_euc(B({0xAD, 0xF0})), W({0x3F}));
    EXPECT_EQ(dec_euc(B({0x8F, 0xA2, 0xB7})), W({0x7E}));
    for (auto [code, u] : std::map<unsigned, unsigned>{{0xA1C1, 0xFF5E},
                                                       {0xA1C2, 0x2225},
                                                       {0xA1DD, 0xFF0D},
                                                       {0xA1F1, 0xFFE0},
                                                       {0xA1F2, 0xFFE1},
                                                       {0xA2CC, 0xFFE2}}) {
        EXPECT_EQ(dec_euc(pair_bytes(code)), W({u})) << std::hex << code;
    }
    // Encoding: lowest code wins, and the one-way entries.
    for (auto [u, code] : std::map<unsigned, unsigned>{{0x2252, 0x81E0},
                                                       {0x7E8A, 0xED40},
                                                       {0x2170, 0xEEEF},
                                                       {0xFFE2, 0x81CA},
                                                       {0x301C, 0x8160},
                                                       {0x2014, 0x815C}}) {
        EXPECT_EQ(translate_all<unicode_to_sjis_cp932_engine>(W({u})), pair_bytes(code))
            << std::hex << u;
    }
    for (unsigned u : {0x80u, 0xA5u, 0x203Eu, 0xF8F0u, 0xE000u}) {
        const std::string none = (u >= 0xE000 && u <= 0xF8FF) ? "" : "?";
        EXPECT_EQ(translate_all<unicode_to_sjis_cp932_engine>(W({u})), none) << std::hex << u;
        EXPECT_EQ(translate_all<unicode_to_euc_engine>(W({u})), none) << std::hex << u;
    }
    EXPECT_EQ(translate_all<unicode_to_euc_engine>(W({0x2014})), "?");
}
