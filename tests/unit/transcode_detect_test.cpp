#include <gtest/gtest.h>

#include <string>

#include "transcode/char_weights.h"
#include "transcode/detect.h"

namespace transcode {
namespace {

std::string bytes(const char* s, std::size_t n) { return std::string(s, n); }
#define B(lit) bytes(lit, sizeof(lit) - 1)

struct detect_case {
    const char* name;
    std::string data;
    std::size_t limit;
    detection_result want;
};

void PrintTo(const detect_case& c, std::ostream* os) { *os << c.name; }

class DetectRules : public ::testing::TestWithParam<detect_case> {};

TEST_P(DetectRules, GivesTheExpectedGuess) {
    const detect_case& c = GetParam();
    const detection_result got = detect_encoding(c.data, c.limit);
    EXPECT_EQ(c.want.encoding, got.encoding);
    EXPECT_EQ(c.want.sure_encoding, got.sure_encoding);
}

// 検索 in Shift_JIS.
const std::string kensaku_sjis = B("\x8C\x9F\x8D\xF5");

INSTANTIATE_TEST_SUITE_P(
    Transcode, DetectRules,
    ::testing::Values(
        detect_case{"empty", "", 8192, {0, 1}}, detect_case{"limit_zero", "abc", 0, {0, 1}},
        detect_case{"utf32be_mark", B("\x00\x00\xFE\xFF\x00\x00\x00\x41"), 8192, {10, 10}},
        detect_case{
            "utf32le_mark_not_utf16le", B("\xFF\xFE\x00\x00\x41\x00\x00\x00"), 8192, {11, 11}},
        detect_case{"utf8_mark", B("\xEF\xBB\xBF\x8C\x9F\x8D\xF5"), 8192, {7, 7}},
        detect_case{"utf16be_mark", B("\xFE\xFF\x30\x42"), 8192, {8, 8}},
        detect_case{"utf16le_mark", B("\xFF\xFE\x42\x30"), 8192, {9, 9}},
        detect_case{"mark_before_zero_run", B("\xFE\xFF\x00\x00\x00\x41"), 8192, {8, 8}},
        detect_case{"utf8_mark_before_zero_run", B("\xEF\xBB\xBF\x00\x00"), 8192, {7, 7}},
        detect_case{"mark_cut_by_limit", B("\xEF\xBB\xBF"), 1, {3, 3}},
        detect_case{"four_byte_mark_cut_by_limit", B("\xFF\xFE\x00\x00"), 3, {9, 9}},
        detect_case{"zero_pair_at_0", B("\x00\x00\x12\x34"), 8192, {10, 1}},
        detect_case{"zero_pair_at_2", B("ab\x00\x00"), 8192, {11, 1}},
        detect_case{"zero_pair_at_4", B("abcd\x00\x00"), 8192, {10, 1}},
        detect_case{"zero_pair_at_6", B("abcdef\x00\x00"), 8192, {11, 1}},
        // An odd pair goes on to the window: zeros at 5 (odd) and 6 (even).
        detect_case{"zero_pair_at_5", B("abcde\x00\x00x"), 8192, {8, 1}},
        detect_case{"utf16le_text",
                    B("a\x00"
                      "b\x00"
                      "c\x00"),
                    8192,
                    {9, 1}},
        detect_case{"utf16be_text",
                    B("\x00"
                      "a\x00"
                      "b"),
                    8192,
                    {8, 1}},
        detect_case{"single_zero_in_sjis", B("\x8C\x9F\x00\x8D\xF5"), 8192, {8, 1}},
        detect_case{
            "jis_escape_with_high_bytes", B("\x8C\x9F\x1B$B8!\x1B(B\x8D\xF5"), 8192, {4, 4}},
        detect_case{"kana_escape", B("\x1B(I1\x1B(B"), 8192, {4, 4}},
        detect_case{"jis0212_escape", B("\x1B$(D\x30\x21\x1B(B"), 8192, {4, 4}},
        detect_case{"ascii_escape_only", B("a\x1B(Bb"), 8192, {2, 2}},
        detect_case{"shift_in_without_high_bytes", B("abc\x0F\x31\x0E"), 8192, {4, 4}},
        detect_case{"seven_bit", "hello, world", 8192, {2, 2}},
        detect_case{"sjis_kensaku", kensaku_sjis, 8192, {3, 3}},
        detect_case{"sjis_nihon", B("\x93\xFA\x96\x7B"), 8192, {3, 3}},
        detect_case{"utf8_kensaku", B("\xE6\xA4\x9C\xE7\xB4\xA2"), 8192, {7, 7}},
        detect_case{
            "utf8_hiragana", B("\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1"), 8192, {7, 7}},
        detect_case{"euc_sentence",
                    B("\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xCA\xB8\xA4\xC7\xA4\xB9"),
                    8192,
                    {5, 5}},
        // Equal scores: line ends first, then the charset name that comes first.
        detect_case{"tie_no_hints", B("\xE0"), 8192, {3, 3}},
        detect_case{"tie_lf", B("a\n\xE0"), 8192, {5, 5}},
        detect_case{"tie_crlf", B("a\r\n\xE0"), 8192, {3, 3}},
        detect_case{"tie_lfcr", B("a\n\r\xE0"), 8192, {3, 3}},
        detect_case{"tie_cr", B("a\r\xE0"), 8192, {3, 3}},
        detect_case{"tie_utf8_name", B("UTF-8 sjis euc \xE0"), 8192, {7, 7}},
        detect_case{"tie_utf8_name_after_euc", B("euc UTF-8 \xE0"), 8192, {5, 5}},
        detect_case{"tie_sjis_name", B("x-sjis; EUC; UTF-8 \xE0"), 8192, {3, 3}},
        detect_case{"tie_shift_jis_name", B("charset=Shift-JIS \xE0"), 8192, {3, 3}},
        detect_case{"tie_euc_name", B("charset=euc-jp \xE0"), 8192, {5, 5}},
        detect_case{"tie_euc_before_sjis", B("EUC or SJIS \xE0"), 8192, {5, 5}},
        // Shift_JIS and EUC-JP equal, UTF-8 lower: EUC-JP.
        detect_case{"sjis_euc_tie_goes_to_euc", B("\x80"), 8192, {5, 5}},
        // EUC-JP and UTF-8 equal, Shift_JIS lower: never UTF-8.
        detect_case{"euc_utf8_tie_goes_to_euc", B("\xFD\x80"), 8192, {5, 5}}),
    [](const ::testing::TestParamInfo<detect_case>& info) { return info.param.name; });

TEST(TranscodeDetect, KensakuScoresHighestAsShiftJis) {
    const encoding_scores s = score_encodings(kensaku_sjis);
    EXPECT_GT(s.sjis, s.euc);
    EXPECT_GT(s.sjis, s.utf8);
    EXPECT_EQ(0, s.sjis_invalid);
}

TEST(TranscodeDetect, ShiftJisUtf8TieNeverGoesToUtf8) {
    // E4 BD 9D reads as one character both in UTF-8 (U+4F5D) and in Shift_JIS
    // (E4BD and the single byte 9D waiting), with equal weights.
    const std::string data = B("\xE4\xBD\x9D");
    const encoding_scores s = score_encodings(data);
    ASSERT_EQ(s.sjis, s.utf8) << "the sample no longer ties; pick another";
    ASSERT_GT(s.sjis, s.euc);
    EXPECT_EQ((detection_result{3, 3}), detect_encoding(data, 8192));
}

TEST(TranscodeDetect, ScorersCountInvalidSequences) {
    // 0xFD: invalid for Shift_JIS, an EUC-JP lead whose next byte is below
    // 0x80, a UTF-8 lead of six bytes cut short by an ASCII byte.
    EXPECT_EQ(1, score_encodings(B("\xFD"
                                   "a"))
                     .sjis_invalid);
    EXPECT_EQ(1, score_encodings(B("\xFD"
                                   "a"))
                     .euc_invalid);
    EXPECT_EQ(1, score_encodings(B("\xFD"
                                   "a"))
                     .utf8_invalid);
    // A lone continuation byte is invalid UTF-8 only.
    const encoding_scores cont = score_encodings(B("\x80"));
    EXPECT_EQ(0, cont.sjis_invalid);
    EXPECT_EQ(0, cont.euc_invalid);
    EXPECT_EQ(1, cont.utf8_invalid);
    // 0x8F starts a three-byte EUC-JP character: the next two bytes are
    // skipped, even the ASCII one, and nothing is scored.
    const encoding_scores three =
        score_encodings(B("\x8F"
                          "a\xA1"));
    EXPECT_EQ(0, three.euc_invalid);
    EXPECT_EQ(0, three.euc);
    // A character cut off at the end of the window is not invalid.
    const encoding_scores cut = score_encodings(B("\xE6\xA4"));
    EXPECT_EQ(0, cut.utf8_invalid);
    EXPECT_EQ(0, cut.utf8);
    // The penalty is the weight of U+3000, the heaviest character.
    EXPECT_EQ(395578u, unicode_char_weight(0x3000));
    EXPECT_EQ(-395578, score_encodings(B("\xFF")).sjis);
    EXPECT_EQ(static_cast<std::int64_t>(unicode_char_weight(0x3000)),
              score_encodings(B("\x81\x40")).sjis);
    EXPECT_EQ(static_cast<std::int64_t>(unicode_char_weight(0x3000)),
              score_encodings(B("\xA1\xA1")).euc);
    EXPECT_EQ(static_cast<std::int64_t>(unicode_char_weight(0x3000)),
              score_encodings(B("\xE3\x80\x80")).utf8);
}

TEST(TranscodeDetect, WeakGuessAtOneInvalidSequencePerHundredBytes) {
    // Three の in Shift_JIS, then a lead byte with a bad trail: one invalid
    // sequence that the weights still outweigh.
    std::string data = B("\x82\xCC\x82\xCC\x82\xCC\x81\x20");
    data.resize(101, 'a');
    EXPECT_EQ((detection_result{3, 1}), detect_encoding(data, 100));
    EXPECT_EQ((detection_result{3, 3}), detect_encoding(data, 101));
    EXPECT_EQ((detection_result{3, 1}), detect_encoding(data.substr(0, 8), 8192));
}

// Three 0xFF bytes are invalid Shift_JIS and UTF-8 but plain EUC-JP bytes:
// wherever the window covers them after 検索, EUC-JP wins.
std::string kensaku_then_ff_at(std::size_t lead, std::size_t ff_at) {
    std::string s(lead, 'a');
    s += kensaku_sjis;
    s.resize(ff_at, 'a');
    s += B("\xFF\xFF\xFF");
    s.resize(ff_at + 40, 'a');
    return s;
}

TEST(TranscodeDetect, WindowIs256BytesFromTheFirstSignificantByte) {
    EXPECT_EQ(5, detect_encoding(kensaku_then_ff_at(0, 253), 8192).encoding);
    EXPECT_EQ(3, detect_encoding(kensaku_then_ff_at(0, 256), 8192).encoding);
}

TEST(TranscodeDetect, WindowStartsAtAMultipleOfFour) {
    // First high byte at 7: the window is 4..259, so 260 is outside.
    EXPECT_EQ(5, detect_encoding(kensaku_then_ff_at(7, 257), 8192).encoding);
    EXPECT_EQ(3, detect_encoding(kensaku_then_ff_at(7, 260), 8192).encoding);
}

TEST(TranscodeDetect, WindowNeverPassesTheLimit) {
    // 9,000 bytes with the first high byte at 8,100: only bytes up to 8,192
    // are scored, though the window would reach 8,356.
    std::string data(8100, 'a');
    data += kensaku_sjis;
    data.resize(8192, 'a');
    while (data.size() < 9000) data += B("\xA4\xCE");  // の in EUC-JP
    EXPECT_EQ((detection_result{3, 3}), detect_encoding(data, 8192));
    EXPECT_EQ(5, detect_encoding(data, 9000).encoding);
}

TEST(TranscodeDetect, MarksCountOnlyAtTheStart) {
    EXPECT_EQ((detection_result{7, 7}), detect_encoding(B("\xEF\xBB\xBF\x8C\x9F\x8D\xF5"), 8192));
    EXPECT_EQ((detection_result{11, 1}), detect_encoding(B("\x01\x02\x00\x00\xFE\xFF"), 8192));
}

TEST(TranscodeDetect, WeightTableIndexingsAgree) {
    // 検: Shift_JIS 8C9F, EUC-JP B8A1, U+691C; ｱ: B1, 8EB1, U+FF71.
    EXPECT_GT(sjis_char_weight(0x8C9F), 0u);
    EXPECT_EQ(sjis_char_weight(0x8C9F), euc_char_weight(0xB8A1));
    EXPECT_EQ(sjis_char_weight(0x8C9F), unicode_char_weight(0x691C));
    EXPECT_GT(sjis_char_weight(0xB1), 0u);
    EXPECT_EQ(sjis_char_weight(0xB1), euc_char_weight(0x8EB1));
    EXPECT_EQ(sjis_char_weight(0xB1), unicode_char_weight(0xFF71));
    EXPECT_EQ(0u, unicode_char_weight(0x41));
    EXPECT_EQ(0u, unicode_char_weight(0x1F600));
    EXPECT_EQ(0u, unicode_char_weight(0xFFFFFFFFu));
    // Read through Shift_JIS, yet only for what reads back the same: the
    // dash and the wave dash that CP932 writes for U+2014 and U+301C are
    // other characters, and an EUC-JP trail below A1 is no character at all
    // (the byte relation gives A2 80 a weighted Shift_JIS code).
    EXPECT_GT(sjis_char_weight(0x815C), 0u);
    EXPECT_EQ(0u, unicode_char_weight(0x2014));
    EXPECT_GT(sjis_char_weight(0x8160), 0u);
    EXPECT_EQ(0u, unicode_char_weight(0x301C));
    EXPECT_GT(sjis_char_weight(0x817E), 0u);
    EXPECT_EQ(0u, euc_char_weight(0xA280));
}

}  // namespace
}  // namespace transcode
