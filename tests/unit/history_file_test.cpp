#include "search/history_file.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/unit/memory_files.h"

namespace lumenvik {
namespace {

using Words = std::vector<std::string>;

const char kPath[] = "C:\\lv\\lumenvik-history.txt";

TEST(HistoryFile, WordsComeBackInTheirOrderAfterAWriteAndARead) {
    MemoryFiles files;
    const Words words = {"apple", "りんご", "a b \"c\" %1", "\xF0\x9F\x8D\x8E"};
    uint32_t error = 0;
    ASSERT_TRUE(writeHistoryFile(files, kPath, words, error));
    EXPECT_EQ(files.files.size(), 1u) << "no temporary file left";
    EXPECT_EQ(files.files[kPath].compare(0, 7, "apple\r\n"), 0) << "no byte-order mark";
    Words back;
    ASSERT_EQ(readHistoryFile(files, kPath, 100, 100, back, error), HistoryRead::ok);
    EXPECT_EQ(back, words);
    // No file yet is an empty history; an unreadable one is told.
    EXPECT_EQ(readHistoryFile(files, "C:\\lv\\none.txt", 100, 100, back, error), HistoryRead::ok);
    EXPECT_TRUE(back.empty());
    files.fail = MemoryFiles::Fail::read;
    EXPECT_EQ(readHistoryFile(files, kPath, 100, 100, back, error), HistoryRead::unreadable);
    EXPECT_EQ(error, 32u);
}

std::string bytes(const char* literal, std::size_t sizeWithZero) {
    return std::string(literal, sizeWithZero - 1);
}
#define BYTES(literal) bytes(literal, sizeof literal)

// As Notepad saves the file again: "UTF-8 (BOM)", "Unicode", "Unicode big
// endian", "ANSI" on Japanese Windows. The bytes are hand-written (iconv).
TEST(HistoryFile, NotepadsOtherFormsReadBackAsTheSameWords) {
    struct Case {
        const char* name;
        std::string bytes;
        Words expected;
    };
    const Case cases[] = {
        {"UTF-8 with its mark",
         BYTES("\xEF\xBB\xBF"
               "apple\r\n\xE3\x82\x8A\xE3\x82\x93\xE3\x81\x94\r\n"),
         {"apple", "\xE3\x82\x8A\xE3\x82\x93\xE3\x81\x94"}},
        {"UTF-16 little-endian",
         BYTES("\xFF\xFE"
               "a\0p\0\r\0\n\0\x8A\x30\x93\x30\x54\x30\r\0\n\0"),
         {"ap", "\xE3\x82\x8A\xE3\x82\x93\xE3\x81\x94"}},
        {"UTF-16 big-endian, no last line end",
         BYTES("\xFE\xFF"
               "\0a\0p\0\r\0\n\x30\x8A\x30\x93\x30\x54"),
         {"ap", "\xE3\x82\x8A\xE3\x82\x93\xE3\x81\x94"}},
        // 表 ends in the byte of "\", and half-width katakana are single bytes.
        {"code page 932",
         BYTES("\x82\xE8\x82\xF1\x82\xB2\r\n\x95\x5C\x8E\xA6\xB6\xC5\r\nabc\r\n"),
         {"\xE3\x82\x8A\xE3\x82\x93\xE3\x81\x94",
          "\xE8\xA1\xA8\xE7\xA4\xBA\xEF\xBD\xB6\xEF\xBE\x85", "abc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(historyWords(c.bytes, 100, 100), c.expected);
    }
}

TEST(HistoryFile, AFileThatGivesNoWordIsKeptAsideAndNeverErased) {
    const std::string garbage = BYTES("\xFF\xFF\x80\x80\r\n\xFD\x00\x01\r\n");
    const std::string aside = "C:\\lv\\lumenvik-history.txt.bad";
    MemoryFiles files;
    files.files[kPath] = garbage;
    Words back;
    uint32_t error = 0;
    ASSERT_EQ(readHistoryFile(files, kPath, 100, 100, back, error), HistoryRead::noWord);
    EXPECT_TRUE(back.empty());
    ASSERT_TRUE(keepHistoryAside(files, kPath));
    ASSERT_TRUE(writeHistoryFile(files, kPath, {"new"}, error));
    EXPECT_EQ(files.files,
              (std::map<std::string, std::string>{{kPath, "new\r\n"}, {aside, garbage}}));

    // A second bad file never takes the place of the first one kept.
    files.files[kPath] = "\x80\r\n";
    EXPECT_FALSE(keepHistoryAside(files, kPath));
    EXPECT_EQ(files.files[aside], garbage);
    EXPECT_EQ(files.files[kPath], "\x80\r\n");
    // A copy that fails half way leaves nothing under the name.
    files.files.erase(aside);
    files.fail = MemoryFiles::Fail::create;
    EXPECT_FALSE(keepHistoryAside(files, kPath));
    EXPECT_EQ(files.files.count(aside), 0u);

    // Blank lines and a history size of 0 lose no word: nothing to keep.
    files.fail = MemoryFiles::Fail::none;
    files.files[kPath] = "\r\n \r\n";
    EXPECT_EQ(readHistoryFile(files, kPath, 100, 100, back, error), HistoryRead::ok);
    files.files[kPath] = "apple\r\n";
    EXPECT_EQ(readHistoryFile(files, kPath, 100, 0, back, error), HistoryRead::ok);
    EXPECT_TRUE(back.empty());
}

TEST(HistoryFile, DamagedEmptyAndTooLongLinesAreSkipped) {
    const std::string text =
        "good\r\n"
        "\x82\xA0\x82\xA2\r\n"  // code page 932, not UTF-8
        "\xE3\x81\r\n"          // a sequence cut short
        "\xC0\xAF\n"            // an overlong form
        "\r\n"
        "tab\there\n"
        "12345\n"       // at the limit
        "123456\n"      // past it
        "あいうえお\n"  // five characters, fifteen bytes
        "last";         // no line end
    EXPECT_EQ(historyWords(text, 5, 100), (Words{"good", "12345", "あいうえお", "last"}));
}

TEST(HistoryFile, OnlyTheNewestWordsUpToTheCapStay) {
    const std::string text = "1\n2\n3\n4\n";
    EXPECT_EQ(historyWords(text, 10, 2), (Words{"3", "4"}));
    EXPECT_EQ(historyWords(text, 10, 4), (Words{"1", "2", "3", "4"}));
    EXPECT_TRUE(historyWords(text, 10, 0).empty());
    EXPECT_TRUE(historyWords(text, 10, -1).empty());
}

TEST(HistoryFile, AFailedReplaceKeepsTheOldFileAndLeavesNoTemporaryFile) {
    MemoryFiles files;
    files.files[kPath] = "old\r\n";
    files.fail = MemoryFiles::Fail::replace;
    uint32_t error = 0;
    EXPECT_FALSE(writeHistoryFile(files, kPath, {"old", "new"}, error));
    EXPECT_EQ(error, 5u);
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{kPath, "old\r\n"}}));
}

TEST(HistoryFile, LivesBesideTheSettingsFile) {
    EXPECT_EQ(historyPathBeside("C:\\a b\\lumenvik.ini"), "C:\\a b\\lumenvik-history.txt");
    EXPECT_EQ(historyPathBeside("lumenvik.ini"), "lumenvik-history.txt");
}

}  // namespace
}  // namespace lumenvik
