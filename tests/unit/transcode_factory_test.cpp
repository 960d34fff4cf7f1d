#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "transcode/factory.h"
#include "transcode/transcode.h"
#include "transcode_test_util.h"

namespace transcode {
namespace {

using tc_test::hex;
using tc_test::run_cut;

// A text between two stages: 8-bit or UTF-16.
struct text {
    bool wide = false;
    std::string s;
    std::wstring w;
};

// One stage of a chain, as the test composes it by hand: `marks` tells
// whether the byte-order-mark stages act (engines from the factory) or not
// (the one-shot converter).
using stage = std::function<text(const text&, bool marks)>;

template <class E>
stage leaf() {
    return [](const text& in, bool) {
        text out;
        using from = typename E::from_type;
        using to = typename E::to_type;
        EXPECT_EQ((std::is_same_v<from, std::wstring>), in.wide) << "stage types do not match";
        if constexpr (std::is_same_v<from, std::string>) {
            to r = translate_all<E>(in.s);
            if constexpr (std::is_same_v<to, std::string>)
                out.s = r;
            else
                out.w = r;
        } else {
            to r = translate_all<E>(in.w);
            if constexpr (std::is_same_v<to, std::string>)
                out.s = r;
            else
                out.w = r;
        }
        out.wide = std::is_same_v<to, std::wstring>;
        return out;
    };
}

text add_mark(text t, bool marks) {
    if (marks) {
        if (t.wide)
            t.w.insert(t.w.begin(), static_cast<wchar_t>(0xFEFF));
        else
            t.s.insert(0, "\xEF\xBB\xBF");
    }
    return t;
}

text drop_marks(text t, bool marks) {
    if (!marks) return t;
    if (t.wide) {
        std::wstring kept;
        for (wchar_t c : t.w)
            if (c != static_cast<wchar_t>(0xFEFF)) kept += c;
        t.w = kept;
    } else {
        std::string::size_type p;
        while ((p = t.s.find("\xEF\xBB\xBF")) != std::string::npos) t.s.erase(p, 3);
    }
    return t;
}

const stage mark = add_mark;
const stage unmark = drop_marks;

std::string compose(const std::vector<stage>& stages, const std::string& input, bool marks) {
    text t;
    t.s = input;
    for (const stage& st : stages) t = st(t, marks);
    EXPECT_FALSE(t.wide);
    return t.s;
}

// The chains, written out stage by stage.
std::map<int, std::vector<stage>> chain_table() {
    using S = std::string;
    auto k = [](int from, int to) { return from * 256 + to; };
    const stage s2u = leaf<sjis_cp932_to_unicode_engine>();
    const stage e2u = leaf<euc_to_unicode_engine>();
    const stage j2e = leaf<jis_to_euc_engine>();
    const stage u82u = leaf<utf8_to_unicode_engine>();
    const stage be2u = leaf<cross_WORD_to_unicode_engine>();
    const stage le2u = leaf<WORD_to_unicode_engine>();
    const stage u2a = leaf<unicode_to_ansi_engine>();
    const stage u2s = leaf<unicode_to_sjis_cp932_engine>();
    const stage u2e = leaf<unicode_to_euc_engine>();
    const stage u2u8 = leaf<unicode_to_utf8_engine>();
    const stage u2be = leaf<unicode_to_cross_WORD_engine>();
    const stage u2le = leaf<unicode_to_WORD_engine>();
    const stage e2j = leaf<euc_to_jis_engine>();
    const stage j2i = leaf<jis_to_iso2022jp_engine>();
    std::map<int, std::vector<stage>> t;
    t[k(2, 7)] = {leaf<through_engine<S>>(), mark};
    t[k(2, 8)] = {leaf<ansi_to_unicode_engine>(), mark, u2be};
    t[k(2, 9)] = {leaf<ansi_to_unicode_engine>(), mark, u2le};
    t[k(3, 2)] = {s2u, u2a};
    t[k(3, 4)] = {leaf<sjis_to_jis_engine>()};
    t[k(3, 5)] = {leaf<sjis_to_euc_engine>()};
    t[k(3, 6)] = {leaf<sjis_to_jis_engine>(), j2i};
    t[k(3, 7)] = {s2u, u2u8, mark};
    t[k(3, 8)] = {s2u, mark, u2be};
    t[k(3, 9)] = {s2u, mark, u2le};
    t[k(4, 2)] = {j2e, e2u, u2a};
    t[k(4, 3)] = t[k(6, 3)] = {leaf<jis_to_sjis_engine>()};
    t[k(4, 5)] = t[k(6, 5)] = {j2e};
    t[k(4, 6)] = {j2i};
    t[k(4, 7)] = t[k(6, 7)] = {j2e, e2u, u2u8, mark};
    t[k(4, 8)] = t[k(6, 8)] = {j2e, e2u, mark, u2be};
    t[k(4, 9)] = t[k(6, 9)] = {j2e, e2u, mark, u2le};
    t[k(5, 2)] = {e2u, u2a};
    t[k(5, 3)] = {leaf<euc_to_sjis_engine>()};
    t[k(5, 4)] = {e2j};
    t[k(5, 6)] = {e2j, j2i};
    t[k(5, 7)] = {e2u, u2u8, mark};
    t[k(5, 8)] = {e2u, mark, u2be};
    t[k(5, 9)] = {e2u, mark, u2le};
    t[k(7, 2)] = {u82u, u2a};
    t[k(7, 3)] = {unmark, u82u, u2s};
    t[k(7, 4)] = {unmark, u82u, u2e, e2j};
    t[k(7, 5)] = {unmark, u82u, u2e};
    t[k(7, 6)] = {unmark, u82u, u2e, e2j, j2i};
    t[k(7, 8)] = {u82u, u2be};
    t[k(7, 9)] = {u82u, u2le};
    const std::pair<int, stage> utf16[] = {{8, be2u}, {9, le2u}};
    for (const auto& [from, in] : utf16) {
        t[k(from, 2)] = {in, unmark, u2a};
        t[k(from, 3)] = {in, unmark, u2s};
        t[k(from, 4)] = {in, unmark, u2e, e2j};
        t[k(from, 5)] = {in, unmark, u2e};
        t[k(from, 6)] = {in, unmark, u2e, e2j, j2i};
        t[k(from, 7)] = {in, u2u8};
    }
    t[k(8, 9)] = {be2u, u2le};
    t[k(9, 8)] = {le2u, u2be};
    return t;
}

// Sample texts per source encoding: A, 日本, ｱ, 検索, ①, CR LF; the Unicode
// forms carry marks at the start and in the middle.
std::vector<std::string> samples(int from) {
    const std::string jis = "A\x1B$BF|K\\\x1B(I1\x1B(B\r\n\x1B$B8!:w\x1B(Bz";
    switch (from) {
        case 2:
            return {"Hello,\r\nworld", ""};
        case 3:
            return {"A\x93\xFA\x96\x7B\xB1\x8C\x9F\x8D\xF5\x87\x40\r\n", "\x93"};
        case 4:
            return {jis};
        case 5:
            return {"A\xC6\xFC\xCB\xDC\x8E\xB1\xB8\xA1\xBA\xF7\xAD\xA1\r\n"};
        case 6:
            return {"A\x1B$BF|K\\\x1B(B\r\n\x1B$B8!:w\x1B(Bz"};
        case 7:
            return {"A\xE6\x97\xA5\xE6\x9C\xAC\xEF\xBD\xB1\r\n",
                    "\xEF\xBB\xBF"
                    "A\xE6\x97\xA5\xEF\xBB\xBF\xE6\x9C\xAC\r\n"};
        case 8:
            return {std::string("\x00"
                                "A\x65\xE5\x67\x2C\xFF\x71",
                                8),
                    std::string("\xFE\xFF\x00"
                                "A\x65\xE5\xFE\xFF\x67\x2C",
                                10)};
        case 9:
            return {std::string("A\x00\xE5\x65\x2C\x67\x71\xFF", 8),
                    std::string("\xFF\xFE"
                                "A\x00\xE5\x65\xFF\xFE\x2C\x67",
                                10)};
        default:
            return {"plain"};
    }
}

TEST(TranscodeFactory, EveryChainIsTheCompositionOfItsStages) {
    const auto table = chain_table();
    ASSERT_EQ(50u, table.size());
    for (const auto& [key, stages] : table) {
        const int from = key / 256, to = key % 256;
        for (const std::string& input : samples(from)) {
            SCOPED_TRACE("pair " + std::to_string(from) + " -> " + std::to_string(to) + ", input " +
                         hex(input));
            const std::string with_marks = compose(stages, input, true);
            const std::string without = compose(stages, input, false);

            string_engine_ref whole = create_engine(from, to);
            EXPECT_EQ(hex(with_marks), hex(run_cut(*whole, input, {})));

            std::vector<std::size_t> every;
            for (std::size_t i = 1; i < input.size(); ++i) every.push_back(i);
            string_engine_ref pieces = create_engine(from, to);
            EXPECT_EQ(hex(with_marks), hex(run_cut(*pieces, input, every)));

            EXPECT_EQ(hex(without), hex(translate_between(input, from, to)));
        }
    }
}

TEST(TranscodeFactory, PairsWithoutAChainPassTextThrough) {
    const auto table = chain_table();
    const std::string input = "A\x93\xFA\xEF\xBB\xBF\x1B$B";
    const std::vector<int> ids = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 255, 256, 259, 775};
    int passed = 0;
    for (int from : ids) {
        for (int to : ids) {
            if (from >= 0 && from < 256 && to >= 0 && to < 256 && table.count(from * 256 + to))
                continue;
            SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to));
            string_engine_ref e = create_engine(from, to);
            EXPECT_EQ(hex(input), hex(run_cut(*e, input, {3})));
            EXPECT_EQ(hex(input), hex(translate_between(input, from, to)));
            ++passed;
        }
    }
    EXPECT_EQ(static_cast<int>(ids.size() * ids.size()) - 50, passed);
}

TEST(TranscodeFactory, ClearedEngineStartsAgainWithItsMark) {
    string_engine_ref e = create_engine(encoding_sjis, encoding_utf8);
    e->untranslated_buffer = "\x93";
    e->translate();
    e->clear();
    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "A",
        run_cut(*e, std::string("A"), {}));
}

TEST(TranscodeConvert, SevenBitWordsComeBackUnchanged) {
    for (int target = 2; target <= 7; ++target) {
        EXPECT_EQ("search word 123", convert_to_encoding("search word 123", target)) << target;
    }
}

TEST(TranscodeConvert, EmptyWordStaysEmptyForEveryTarget) {
    for (int target = 0; target <= 11; ++target) EXPECT_EQ("", convert_to_encoding("", target));
}

TEST(TranscodeConvert, ShiftJisWordToUtf8AndEuc) {
    const std::string nihon = "\x93\xFA\x96\x7B";
    EXPECT_EQ(hex(std::string("\xE6\x97\xA5\xE6\x9C\xAC")),
              hex(convert_to_encoding(nihon, encoding_utf8)));
    EXPECT_EQ(hex(std::string("\xC6\xFC\xCB\xDC")), hex(convert_to_encoding(nihon, encoding_euc)));
    EXPECT_EQ(hex(nihon), hex(convert_to_encoding(nihon, encoding_sjis)));
    // 検索 and a half-width katakana.
    EXPECT_EQ(hex(std::string("\xE6\xA4\x9C\xE7\xB4\xA2\xEF\xBD\xB1")),
              hex(convert_to_encoding("\x8C\x9F\x8D\xF5\xB1", encoding_utf8)));
}

TEST(TranscodeConvert, UnicodeInputKeepsItsMarkOneShot) {
    // Detected as UTF-8 by its mark; the one-shot path removes no mark, and
    // U+FEFF has no EUC-JP code.
    const std::string word = "\xEF\xBB\xBF\xE6\x97\xA5";
    EXPECT_EQ(hex(word), hex(convert_to_encoding(word, encoding_utf8)));
    EXPECT_EQ(hex(std::string("?\xC6\xFC")), hex(convert_to_encoding(word, encoding_euc)));
}

// Runs one batch through an auto engine and returns its output.
std::string feed(auto_translate_engine<std::string>& e, const std::string& batch) {
    e.untranslated_buffer += batch;
    e.translate();
    std::string out;
    take_translated(e, out);
    return out;
}

TEST(TranscodeAutoEngine, SwitchesChainWhenTheEncodingChanges) {
    auto_translate_engine<std::string> e(encoding_utf8);
    EXPECT_EQ(encoding_utf8, e.source_encoding);
    // Each chain to UTF-8 made by the factory starts its output with a mark.
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(mark + "\xE6\x97\xA5\xE6\x9C\xAC", feed(e, "\x93\xFA\x96\x7B"));  // 日本
    EXPECT_EQ(encoding_sjis, e.source_encoding);
    // 日本語の文です in EUC-JP.
    const std::string euc = "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xCA\xB8\xA4\xC7\xA4\xB9";
    EXPECT_EQ(mark + translate_between(euc, encoding_euc, encoding_utf8), feed(e, euc));
    EXPECT_EQ(encoding_euc, e.source_encoding);
    EXPECT_EQ(encoding_utf8, e.target_encoding);
}

TEST(TranscodeAutoEngine, OutputHoldsOnlyTheLatestBatch) {
    auto_translate_engine<std::string> e(encoding_euc);
    e.untranslated_buffer = "\x93\xFA";
    e.translate();
    e.untranslated_buffer = "\x96\x7B";
    e.translate();
    EXPECT_EQ("\xCB\xDC", e.translated_buffer);
}

TEST(TranscodeAutoEngine, WaitingBytesMoveToTheNewChain) {
    auto_translate_engine<std::string> e(encoding_euc);
    // 日 and the lead byte of 本 in Shift_JIS: the lead waits.
    EXPECT_EQ("\xC6\xFC", feed(e, "\x93\xFA\x96"));
    // A batch in EUC-JP: the waiting 0x96 goes in front of it.
    const std::string euc = "\xA4\xCE\xA4\xCE\xA4\xCE";
    ASSERT_EQ(encoding_euc, detect_encoding(euc, detection_limit).encoding);
    std::string out = feed(e, euc);
    e.flush();
    out += e.translated_buffer;
    const std::string want = "\x96" + euc;
    EXPECT_EQ(hex(want), hex(out));
    // EUC-JP to EUC-JP passes the bytes through, the cut lead included.
}

TEST(TranscodeAutoEngine, WaitingBytesInsideAChainMoveToo) {
    // UTF-8 to Shift_JIS: a cut UTF-8 character waits in the decoder, the
    // second stage behind the mark remover.
    auto_translate_engine<std::string> e(encoding_sjis);
    const std::string utf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE6";
    ASSERT_EQ(encoding_utf8, detect_encoding(utf8, detection_limit).encoding);
    EXPECT_EQ("\x93\xFA\x96\x7B\x8C\xEA\x82\xCC", feed(e, utf8));
    const std::string sjis = "\x95\xB6\x82\xC5\x82\xB7";  // 文です
    ASSERT_EQ(encoding_sjis, detect_encoding(sjis, detection_limit).encoding);
    std::string out = feed(e, sjis);
    e.flush();
    out += e.translated_buffer;
    // The cut lead 0xE6 is not lost: Shift_JIS reads it with the next byte.
    EXPECT_EQ(hex(translate_between("\xE6" + sjis, encoding_sjis, encoding_sjis)), hex(out));
}

TEST(TranscodeAutoEngine, EmptyBatchKeepsTheChain) {
    auto_translate_engine<std::string> e(encoding_euc);
    EXPECT_EQ("\xC6\xFC", feed(e, "\x93\xFA\x96"));
    EXPECT_EQ("", feed(e, ""));
    EXPECT_EQ(encoding_sjis, e.source_encoding);
    EXPECT_EQ("\xCB\xDC\xB8\xEC", feed(e, "\x7B\x8C\xEA"));  // 本 completed, 語
}

TEST(TranscodeStringEngine, BuildsTheFactoryChain) {
    translate_to_string_engine<std::string> e(encoding_sjis, encoding_utf8);
    EXPECT_EQ("\xEF\xBB\xBF\xE6\x97\xA5", run_cut(e, std::string("\x93\xFA"), {1}));
}

}  // namespace
}  // namespace transcode
