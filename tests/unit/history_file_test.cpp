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
    ASSERT_TRUE(readHistoryFile(files, kPath, 100, 100, back, error));
    EXPECT_EQ(back, words);
    // No file yet is an empty history; an unreadable one is told.
    EXPECT_TRUE(readHistoryFile(files, "C:\\lv\\none.txt", 100, 100, back, error));
    EXPECT_TRUE(back.empty());
    files.fail = MemoryFiles::Fail::read;
    EXPECT_FALSE(readHistoryFile(files, kPath, 100, 100, back, error));
    EXPECT_EQ(error, 32u);
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
