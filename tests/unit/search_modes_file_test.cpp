#include "search/search_modes_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumenvik {
namespace {

using transcode::encoding_euc;
using transcode::encoding_iso2022jp;
using transcode::encoding_sjis;
using transcode::encoding_utf8;

const std::string kWeblio = "https://ejje.weblio.jp/content/[search_word]";

SearchModesReading read(const std::string& file, transcode::encoding_id display = encoding_utf8) {
    return readSearchModes(file, display);
}

TEST(SearchModesFile, WithoutTheSectionTheBuiltInModesStay) {
    for (const std::string file :
         {"", "[KeyData]\r\nmode_prior=33\r\n", "url0=http://a/[search_word]"}) {
        const SearchModesReading r = read(file);
        EXPECT_TRUE(r.problems.empty());
        ASSERT_EQ(r.modes.count(), builtInSearchSites().size());
        for (SearchMode m = 0; m < 5; ++m) {
            EXPECT_EQ(r.modes.site(m).url, builtInSearchSites()[m].url);
            EXPECT_STREQ(r.modes.label(m), builtInSearchSites()[m].label.c_str());
        }
    }
}

TEST(SearchModesFile, ReplacesAndAddsModesUntilTheFirstGap) {
    // A byte-order mark before the section, names in any case and blanks
    // around them, a quoted value, and the list ending at the gap at 7.
    const SearchModesReading r = read(
        "\xEF\xBB\xBF[ searchmodes ]\r\n"
        "URL2 = " +
        kWeblio +
        "\r\n"
        "url5=http://a.example/find?w=[search_word]\r\nencoding5=EUC-JP\r\nlabel5=\"A site\"\r\n"
        "url6=https://b.example:8080/[search_word]\r\nencoding6=sjis\r\n"
        "url8=https://c.example/[search_word]\r\n"
        "url2=https://ignored.example/[search_word]\r\n"
        "[other]\r\nurl9=https://d.example/[search_word]\r\n");
    EXPECT_TRUE(r.problems.empty());
    ASSERT_EQ(r.modes.count(), 7u);
    EXPECT_EQ(r.modes.site(2).url, kWeblio);
    EXPECT_EQ(r.modes.site(2).encoding, encoding_utf8);
    EXPECT_STREQ(r.modes.label(2), "【 ejje.weblio.jp 】検索");
    EXPECT_TRUE(r.modes.site(2).fixedValues.empty());
    EXPECT_EQ(r.modes.site(3).url, builtInSearchSites()[3].url);
    EXPECT_EQ(r.modes.site(5).encoding, encoding_euc);
    EXPECT_STREQ(r.modes.label(5), "A site");
    EXPECT_EQ(r.modes.site(6).encoding, encoding_sjis);
    EXPECT_STREQ(r.modes.label(6), "【 b.example 】検索");
}

TEST(SearchModesFile, EncodingNames) {
    const struct {
        const char* name;
        transcode::encoding_id id;
    } names[] = {{"utf-8", encoding_utf8},     {"UTF-8", encoding_utf8},
                 {"Shift_JIS", encoding_sjis}, {"CP932", encoding_sjis},
                 {"euc-jp", encoding_euc},     {"ISO-2022-JP", encoding_iso2022jp}};
    for (const auto& n : names) {
        const SearchModesReading r =
            read("[SearchModes]\nurl0=http://x/[search_word]\nencoding0=" + std::string(n.name));
        EXPECT_EQ(r.modes.site(0).encoding, n.id) << n.name;
        EXPECT_TRUE(r.problems.empty()) << n.name;
    }
}

TEST(SearchModesFile, BadEntriesLeaveTheirModeAsWithoutThemAndAreEachReported) {
    const SearchModesReading r = read(
        "[SearchModes]\r\n"
        "url0=ftp://x/[search_word]\r\n"
        "url1=http://x/search\r\n"
        "url3=http://x/[search_word]\r\nencoding3=latin-1\r\n"
        "url5=https://x/[search_word]\r\n"
        "url6=x/[search_word]\r\n"
        "url7=https://y/[search_word]\r\n");
    ASSERT_EQ(r.problems.size(), 4u);
    EXPECT_EQ(r.problems[0].find("url0=ftp://x/[search_word]"), 0u);
    EXPECT_EQ(r.problems[1].find("url1=http://x/search"), 0u);
    EXPECT_EQ(r.problems[2].find("encoding3=latin-1"), 0u);
    EXPECT_EQ(r.problems[3].find("url6="), 0u);
    ASSERT_EQ(r.modes.count(), 6u);  // the built-in five and url5; url6 ends the list
    for (SearchMode m : {0, 1, 3}) EXPECT_EQ(r.modes.site(m).url, builtInSearchSites()[m].url);
    EXPECT_NE(settingsErrorText(r.problems).find(r.problems[2]), std::string::npos);
}

TEST(SearchModesFile, DictionaryListPerModeOffUnlessOn) {
    const SearchModesReading r = read(
        "[SearchModes]\r\nurl5=http://a/[search_word]\r\ndict3=on\r\nDICT5 = On\r\ndict2=off\r\n"
        "dict4=yes\r\n");
    EXPECT_FALSE(r.modes.site(0).dictionary);
    EXPECT_FALSE(r.modes.site(2).dictionary);
    EXPECT_TRUE(r.modes.site(3).dictionary);
    EXPECT_TRUE(r.modes.site(5).dictionary);
    EXPECT_FALSE(r.modes.site(4).dictionary);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_NE(r.problems[0].find("dict4=yes"), std::string::npos) << r.problems[0];
}

TEST(SearchModesFile, InputMethodAndBrowserPerModeAndForAll) {
    const struct {
        const char* entries;  // after [SearchModes] with url5 defined
        SearchMode mode;
        ImeWish ime;
        const char* browser;
        bool reported;
    } cases[] = {
        {"ime2=off", 2, ImeWish::off, "", false},
        {"IME3 = On", 3, ImeWish::on, "", false},
        {"ime5=off", 5, ImeWish::off, "", false},
        {"ime2=yes", 2, ImeWish::keep, "", true},
        {"browser3=x.exe", 3, ImeWish::keep, "x.exe", false},
        {"browser5=\"C:\\a b\\y.exe\" \"%1\"", 5, ImeWish::keep, "\"C:\\a b\\y.exe\" \"%1\"",
         false},
        {"browser1=\"y.exe\"", 1, ImeWish::keep, "y.exe", false},
        {"browser1=\"C:\\a b\\y.exe", 1, ImeWish::keep, "", true},
        {"browser1=\"\" %1", 1, ImeWish::keep, "", true},
        {"browser1=   ", 1, ImeWish::keep, "", false},
        {"[Options]\r\nbrowser=z.exe", 4, ImeWish::keep, "z.exe", false},
        {"[Options]\r\nbrowser=\"C:\\z", 4, ImeWish::keep, "", true},
        {"browser0=x.exe\r\n[Options]\r\nbrowser=z.exe", 0, ImeWish::keep, "x.exe", false},
        {"browser0=x.exe\r\n[Options]\r\nbrowser=z.exe", 5, ImeWish::keep, "z.exe", false},
    };
    for (const auto& c : cases) {
        const SearchModesReading r =
            read("[SearchModes]\r\nurl5=http://a/[search_word]\r\n" + std::string(c.entries));
        EXPECT_EQ(r.modes.site(c.mode).ime, c.ime) << c.entries;
        EXPECT_EQ(r.modes.site(c.mode).browser, c.browser) << c.entries;
        EXPECT_EQ(r.problems.size(), c.reported ? 1u : 0u) << c.entries;
        // The report names the entry (the last line).
        const std::string entry = c.entries;
        if (c.reported && !r.problems.empty()) {
            EXPECT_NE(r.problems[0].find(entry.substr(entry.rfind('\n') + 1)), std::string::npos)
                << r.problems[0];
        }
    }
}

// Notepad saves UTF-8 today and code page 932 in older versions; both give
// the right characters in the ANSI code page.
TEST(SearchModesFile, LabelsInUtf8AndInCodePage932) {
    const std::string sjisLabel = "\x81\x79\x20\x83\x56\x83\x74\x83\x67\x4A\x49\x53\x20\x81\x7A";
    const std::string utf8Label = "【 シフトJIS 】";
    const std::string file = "[SearchModes]\nurl0=http://x/[search_word]\nlabel0=" + utf8Label +
                             "\nurl1=http://x/[search_word]\nlabel1=" + sjisLabel + "\n";
    const SearchModesReading inSjis = read(file, encoding_sjis);
    EXPECT_EQ(inSjis.modes.label(0), sjisLabel);
    EXPECT_EQ(inSjis.modes.label(1), sjisLabel);
    const SearchModesReading inUtf8 = read(file, encoding_utf8);
    EXPECT_EQ(inUtf8.modes.label(0), utf8Label);
    EXPECT_EQ(inUtf8.modes.label(1), utf8Label);
    // A UTF-16 file (Notepad's "Unicode") reads too.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("[SearchModes]\r\nurl5=http://z/[search_word]\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_EQ(read(utf16).modes.count(), 6u);
}

class FakeFile : public SettingsFileView {
  public:
    SettingsFileState state() override { return state_; }
    bool readAll(std::string& bytes) override {
        ++reads;
        bytes = text;
        return true;
    }
    void write(const std::string& t, uint64_t time) {
        text = t;
        state_ = SettingsFileState{true, time, t.size()};
    }
    std::string text;
    int reads = 0;

  private:
    SettingsFileState state_;
};

TEST(UserSearchModes, ReadsAtStartAndAgainOnlyWhenTheFileChanged) {
    FakeFile file;
    UserSearchModes user;
    SearchModes modes;
    std::vector<std::string> problems;
    EXPECT_TRUE(user.refresh(file, encoding_utf8, modes, problems));  // no file: built-ins
    EXPECT_EQ(modes.count(), 5u);
    EXPECT_EQ(file.reads, 0);
    file.write("[SearchModes]\nurl5=http://x/[search_word]\nencoding0=bad\n", 1);
    EXPECT_TRUE(user.refresh(file, encoding_utf8, modes, problems));
    EXPECT_EQ(modes.count(), 6u);
    EXPECT_EQ(problems.size(), 1u);
    EXPECT_FALSE(user.refresh(file, encoding_utf8, modes, problems));  // told once per read
    EXPECT_EQ(file.reads, 1);
    file.write("[SearchModes]\n", 1);  // same time, other size
    EXPECT_TRUE(user.refresh(file, encoding_utf8, modes, problems));
    EXPECT_EQ(modes.count(), 5u);
    EXPECT_TRUE(problems.empty());
}

}  // namespace
}  // namespace lumenvik
