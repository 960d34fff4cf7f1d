// The dictionary file: the generator on a hand-written EDICT sample (made
// EUC-JP by iconv), the folding and ranking of the look-up, real words in the
// real file, and the reader on truncated and corrupted files.
#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dictionary/dict_builder.h"
#include "dictionary/dict_reader.h"
#include "dictionary/fold.h"

namespace {

using namespace lumenvik;

std::string eucJp(const std::string& utf8) {
    iconv_t cd = iconv_open("EUC-JP", "UTF-8");
    std::string in = utf8, out(utf8.size() * 2 + 16, '\0');
    char* ip = &in[0];
    char* op = &out[0];
    std::size_t il = in.size(), ol = out.size();
    const std::size_t done = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    EXPECT_NE(done, static_cast<std::size_t>(-1)) << utf8;
    out.resize(out.size() - ol);
    return out;
}

// Line 1 names the file, line 6 is of no EDICT shape.
const char kSample[] =
    u8"　？？？ /EDICT, EDICT_SUB(P), EDICT2 Japanese-English Electronic Dictionary Files/\n"
    u8"車 [くるま] /(n) (1) car/automobile/vehicle/(n) (2) wheel/(P)/\n"
    u8"クルマエビ /(n) kuruma prawn/\n"
    u8"車海老 [くるまえび] /(n) kuruma prawn (Marsupenaeus japonicus)/\n"
    u8"来る [くる] /(v) to come/(P)/\n"
    u8"ガッコウ [がっこう] /\n"
    u8"学校 [がっこう] /(n) school/place to learn/(P)/\n"
    u8"くる /(int) whirling/\n"
    u8"ＣＤ /(n) compact disc/CD/\n";

// The rows' headwords, as UTF-8.
std::vector<std::string> headwords(const DictionaryReader& reader, const std::string& query,
                                   std::size_t max = DictionaryReader::kMaxRows) {
    std::vector<DictionaryRow> rows;
    EXPECT_TRUE(reader.lookup(query, max, rows)) << query;
    std::vector<std::string> out;
    for (const DictionaryRow& r : rows) out.emplace_back(r.headword);
    return out;
}

class SampleDictionary : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(buildDictionary(eucJp(kSample), build)) << build.error;
        std::string problem;
        ASSERT_TRUE(reader.open(bytes(), build.bytes.size(), problem)) << problem;
    }
    const unsigned char* bytes() const {
        return reinterpret_cast<const unsigned char*>(build.bytes.data());
    }
    DictionaryBuild build;
    DictionaryReader reader;
};

TEST_F(SampleDictionary, GeneratorKeepsEveryWordLineAndNamesTheBadOne) {
    EXPECT_EQ(build.entries, 7u);
    ASSERT_EQ(build.warnings.size(), 1u);
    EXPECT_EQ(build.warnings[0].rfind("line 6:", 0), 0u) << build.warnings[0];

    std::vector<DictionaryRow> rows;
    ASSERT_TRUE(reader.lookup(u8"車", 8, rows));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].headword, u8"車");
    EXPECT_EQ(rows[0].reading, u8"くるま");
    EXPECT_EQ(rows[0].glosses, "(n) (1) car/automobile/vehicle/(n) (2) wheel");
    EXPECT_TRUE(rows[0].common);
    EXPECT_EQ(rowText(rows[0]), u8"車 [くるま] (n) (1) car; automobile; vehicle; (n) (2) wheel");
    ASSERT_TRUE(reader.lookup(u8"くるまえ", 8, rows));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].headword, u8"クルマエビ");
    EXPECT_EQ(rows[1].reading, "");  // a kana-only line
    EXPECT_FALSE(rows[1].common);
    // The identification line is no word.
    EXPECT_TRUE(headwords(reader, "edict").empty());
}

TEST_F(SampleDictionary, GeneratorGivesTheSameBytesForTheSameSource) {
    DictionaryBuild again;
    ASSERT_TRUE(buildDictionary(eucJp(kSample), again));
    EXPECT_TRUE(again.bytes == build.bytes);
}

TEST(DictionaryGenerator, BytesThatAreNotEucJpFailTheBuildNamingTheLine) {
    // A lead byte without its trail byte on line 2, and an undefined code
    // (row 0x2F of JIS X 0208) on line 3 of another source.
    DictionaryBuild out;
    EXPECT_FALSE(buildDictionary(eucJp(u8"あ /a/\n") + "\xA4 /b/\n", out));
    EXPECT_EQ(out.error.rfind("line 2:", 0), 0u) << out.error;
    EXPECT_FALSE(buildDictionary(eucJp(u8"あ /a/\nい /i?/\n") + "\xAF\xA1 /c/\n", out));
    EXPECT_EQ(out.error.rfind("line 3:", 0), 0u) << out.error;
}

TEST(DictionaryFolding, KanaWidthAndCaseMeet) {
    EXPECT_EQ(foldForLookup(u8"カタカナ"), u8"かたかな");
    EXPECT_EQ(foldForLookup(u8"ｶﾞｯｺｳ"), u8"がっこう");
    EXPECT_EQ(foldForLookup(u8"ﾊﾟﾝﾎﾞﾝ"), u8"ぱんぼん");
    EXPECT_EQ(foldForLookup(u8"ｳﾞｧｲｵﾘﾝ"), u8"ゔぁいおりん");
    EXPECT_EQ(foldForLookup(u8"ﾃﾞｰﾀ"), u8"でーた");
    EXPECT_EQ(foldForLookup(u8"ﾝﾞ"), u8"ん゛");  // no voiced ん: the mark stays
    EXPECT_EQ(foldForLookup(u8"ＡＢＣ　ｄｅｆ App"), "abc def app");
    EXPECT_EQ(foldForLookup(u8"漢字ヶ所"), u8"漢字ゖ所");
    EXPECT_EQ(foldForLookup("a\xFF"
                            "b\xE3\x81"),
              u8"a\uFFFDb\uFFFD\uFFFD");
}

TEST_F(SampleDictionary, LookUpFoldsTheQuery) {
    EXPECT_EQ(headwords(reader, u8"クルマ", 1), std::vector<std::string>{u8"車"});
    EXPECT_EQ(headwords(reader, u8"ｸﾙﾏ", 1), std::vector<std::string>{u8"車"});
    EXPECT_EQ(headwords(reader, u8"ＣＡＲ"), std::vector<std::string>{u8"車"});
    EXPECT_EQ(headwords(reader, "  Compact "), std::vector<std::string>{u8"ＣＤ"});
    EXPECT_EQ(headwords(reader, u8"ｃｄ"), std::vector<std::string>{u8"ＣＤ"});
    EXPECT_TRUE(headwords(reader, "(n)").empty()) << "notes are no words";
    EXPECT_TRUE(headwords(reader, "").empty());
}

TEST_F(SampleDictionary, ExactMatchesFirstThenCommonThenShorterThenFileOrder) {
    // くる: the exact 来る (common) and くる, then 車 (common), then the
    // prawns, the shorter headword first.
    EXPECT_EQ(headwords(reader, u8"くる"),
              (std::vector<std::string>{u8"来る", u8"くる", u8"車", u8"車海老", u8"クルマエビ"}));
    // Equal in all else, the file's order: 来る (line 5) before 学校 (line 7).
    EXPECT_EQ(headwords(reader, "to"), (std::vector<std::string>{u8"来る", u8"学校"}));
    // "kuruma" is a word of both prawns: the shorter headword first.
    EXPECT_EQ(headwords(reader, "kuruma"), (std::vector<std::string>{u8"車海老", u8"クルマエビ"}));
    EXPECT_EQ(headwords(reader, u8"くる", 2), (std::vector<std::string>{u8"来る", u8"くる"}));
}

TEST_F(SampleDictionary, EnglishOfSeveralWordsIsAPhraseWithinOneGloss) {
    EXPECT_EQ(headwords(reader, "to co"), std::vector<std::string>{u8"来る"});
    EXPECT_EQ(headwords(reader, "Place  to"), std::vector<std::string>{u8"学校"});
    EXPECT_EQ(headwords(reader, "kuruma pr"),
              (std::vector<std::string>{u8"車海老", u8"クルマエビ"}));
    // The words in another order, or spread over two glosses, or a whole
    // word cut short before the last: no phrase.
    EXPECT_TRUE(headwords(reader, "prawn kuruma").empty());
    EXPECT_TRUE(headwords(reader, "vehicle wheel").empty());
    EXPECT_TRUE(headwords(reader, "kur prawn").empty());
}

std::string readWhole(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(RealDictionary, FindsWordsByReadingAndByEnglish) {
    const std::string bytes = readWhole(LUMENVIK_DICT);
    DictionaryReader reader;
    std::string problem;
    ASSERT_TRUE(
        reader.open(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), problem))
        << problem;
    std::vector<DictionaryRow> rows;
    ASSERT_TRUE(reader.lookup(u8"くるま", 8, rows));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].headword, u8"車");
    EXPECT_NE(rows[0].glosses.find("car"), std::string_view::npos);
    const std::vector<std::string> apple = headwords(reader, "apple");
    EXPECT_NE(std::find(apple.begin(), apple.end(), u8"林檎"), apple.end());
    const std::vector<std::string> app = headwords(reader, "app");
    EXPECT_NE(std::find(app.begin(), app.end(), u8"アプリ"), app.end());
    const std::vector<std::string> iceCream = headwords(reader, "ice cream");
    EXPECT_NE(std::find(iceCream.begin(), iceCream.end(), u8"アイスクリーム"), iceCream.end());
}

// Every length of cut, and every header word and a sweep of bytes set to
// 0xFF: no read outside the bytes (the sanitizer sees each in a heap block
// of its exact size), and a corrupted file answers "unusable" or rows that
// lie inside it.
TEST_F(SampleDictionary, TruncatedAndCorruptedFilesAreRefusedWithoutReadingOutside) {
    const std::string whole = build.bytes;
    auto tryBytes = [](const std::string& bytes) {
        std::vector<unsigned char> exact(bytes.begin(), bytes.end());
        DictionaryReader r;
        std::string problem;
        if (!r.open(exact.empty() ? nullptr : exact.data(), exact.size(), problem)) {
            EXPECT_FALSE(problem.empty());
            return false;
        }
        std::vector<DictionaryRow> rows;
        for (const char* q : {u8"く", u8"くるま", "car", "kuruma", u8"車", "c"})
            r.lookup(q, 8, rows);
        return true;
    };
    for (std::size_t n = 0; n < whole.size(); ++n) {
        EXPECT_FALSE(tryBytes(whole.substr(0, n))) << "cut at " << n;
    }
    std::string foreign = whole;
    foreign[0] = 'X';
    EXPECT_FALSE(tryBytes(foreign));
    for (std::size_t at = 8; at < whole.size(); ++at) {
        std::string bad = whole;
        bad[at] = '\xFF';
        tryBytes(bad);
    }
    // A key's string offset beyond the pool: the look-up says so.
    std::string bad = whole;
    const auto word = [&](std::size_t i) {
        return static_cast<uint32_t>(static_cast<unsigned char>(whole[8 + 4 * i])) |
               static_cast<uint32_t>(static_cast<unsigned char>(whole[9 + 4 * i])) << 8;
    };
    // Every headword key's string offset (word 7 counts them, word 8 places them).
    for (std::size_t k = 0; k < word(7); ++k) bad[word(8) + 12 * k + 3] = '\x7F';
    std::vector<unsigned char> exact(bad.begin(), bad.end());
    DictionaryReader r;
    std::string problem;
    ASSERT_TRUE(r.open(exact.data(), exact.size(), problem));
    std::vector<DictionaryRow> rows;
    EXPECT_FALSE(r.lookup(u8"く", 8, rows));
    EXPECT_TRUE(rows.empty());
}

}  // namespace
